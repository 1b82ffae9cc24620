#include "game/jigsaw_file.h"

#include <algorithm>
#include <cstring>

#include "foundation/file_helpers.h"
#include "foundation/picture_limits.h"
#include "game/embedded_file.h"
#include "platform/bitmap.h"

bool IsSanePictureSize(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) return false;
  // The cut map is the largest buffer a game makes of the picture: 5 pixels more each way.
  int64_t stride = (int64_t(width + 5) * 3 + 3) & ~int64_t(3);
  return stride * (height + 5) <= kMaxBitmapBytes;
}

bool ReadJigsawHeader(TBinaryReader& f, TJigsawHeader& header) {
  char magic[sizeof JigsawMagic];
  TJigsawHeader h;
  if (!f.Read(magic, sizeof magic) || std::memcmp(magic, JigsawMagic, sizeof magic) != 0) return false;
  if (!f.ReadInt32(h.ImageW) || !f.ReadInt32(h.ImageH) || !f.Read(h.TagBlock, sizeof h.TagBlock)) return false;
  if (!IsSanePictureSize(h.ImageW, h.ImageH)) return false;
  header = h;
  return true;
}

bool ReadJigsawVariant(TBinaryReader& f, const TLevelRecord& level, std::vector<uint8_t>& description,
                       std::vector<uint8_t>& picture) {
  // SidePos holds three positions, so at most two variants can be addressed.
  if (level.SideNum < 1 || level.SideNum > 2 || level.SideInd < 0 || level.SideInd >= level.SideNum) return false;
  if (!f.Seek(level.SidePos[level.SideNum])) return false;
  std::vector<uint8_t> text, pic, data;
  int64_t end;
  for (int32_t i = 0; i < level.SideNum; ++i) {
    if (!ExtractEmbeddedBytes(f, uint8_t(DescriptionKey + i), true, data, end)) return false;
    if (i == level.SideInd) text.swap(data);
  }
  for (int32_t i = 0; i <= level.SideInd; ++i) {
    if (!ExtractEmbeddedBytes(f, uint8_t(PictureKey + i), true, data, end)) return false;
    if (i == level.SideInd) pic.swap(data);
  }
  description.swap(text);
  picture.swap(pic);
  return true;
}

bool WriteJigsawFile(const std::string& path, const TJigsawHeader& header, std::span<const uint8_t> preview,
                     std::span<const uint8_t> description, std::span<const uint8_t> picture) {
  if (!IsSanePictureSize(header.ImageW, header.ImageH)) return false;
  int previewKind = DetectImageKind(preview);
  if (previewKind != ImageKindJpeg && previewKind != ImageKindBitmap) return false;
  if (!IsJfifData(picture) && DetectImageKind(picture) != ImageKindBitmap) return false;
  TBinaryWriter f;
  return f.Create(path) && f.Write(JigsawMagic, sizeof JigsawMagic) && f.WriteInt32(header.ImageW) &&
         f.WriteInt32(header.ImageH) && f.Write(header.TagBlock, sizeof header.TagBlock) &&
         EmbedBytes(f, preview, PreviewKey, false) && EmbedBytes(f, description, DescriptionKey, true) &&
         EmbedBytes(f, picture, PictureKey, true) && f.Commit();
}

void FitPictureToArea(TLevelRecord& level, int32_t areaW, int32_t areaH) {
  const int32_t w = std::max(areaW, 1), h = std::max(areaH, 1);
  if (level.ImageW <= 0 || level.ImageH <= 0 || (w >= level.ImageW && h >= level.ImageH)) {
    level.FitImageW = level.ImageW;
    level.FitImageH = level.ImageH;
  } else if (double(w) / h <= double(level.ImageW) / level.ImageH) {
    level.FitImageW = w;
    level.FitImageH = std::max(int32_t(int64_t(level.ImageH) * w / level.ImageW), 1);
  } else {
    level.FitImageW = std::max(int32_t(int64_t(level.ImageW) * h / level.ImageH), 1);
    level.FitImageH = h;
  }
}

namespace {
// The extension runs from the last '.' of the file name, as the jigsaw lists take it: a file
// named just ".zvq" that the list shows must open too.
bool HasJigsawExtension(const std::string& path) { return LowerExtension(path) == JigsawExtension; }
}  // namespace

bool OpenJigsaw(const std::string& path, TJigsawOpenMode mode, TJigsawOpenTarget& target) {
  if (!HasJigsawExtension(path) || !IsRegularFile(path)) return false;
  if (mode == OpenJigsawGame) return target.OpenGame && target.OpenGame(path);
  if (mode != OpenJigsawSelect && mode != OpenJigsawThumbnail) return false;

  TBinaryReader f;
  TJigsawHeader header;
  int32_t previewEnd, size;
  if (!f.Open(path) || !ReadJigsawHeader(f, header) ||
      !ExtractEmbeddedImage(f, PreviewKey, false, target.TempPictureFile, previewEnd, size))
    return false;
  // A file cut short after its preview would fail only once the game is being opened: refuse
  // it here, while the player is still choosing.
  int32_t descriptionSize, pictureSize;
  if (!SkipEmbeddedFile(f, descriptionSize) || !SkipEmbeddedFile(f, pictureSize) || pictureSize == 0) return false;
  f.Close();

  // Decoded no larger than a preview is ever shown: a huge one costs no more than a small one.
  const int32_t kind = DetectImageKind(target.TempPictureFile);
  if ((kind != ImageKindJpeg && kind != ImageKindBitmap) ||
      !LoadPreviewFile(*target.Load.Picture, target.TempPictureFile))
    return false;

  if (mode == OpenJigsawSelect) {
    TLevelRecord& level = target.CurrentLevel;
    level.SideNum = 1;
    level.SideInd = 0;
    level.SidePos[1] = previewEnd;
    level.ImageW = header.ImageW;
    level.ImageH = header.ImageH;
    level.JigTag = header.Tag();
    int32_t areaW = header.ImageW, areaH = header.ImageH;
    if (target.PlayArea) target.PlayArea(areaW, areaH);
    FitPictureToArea(level, areaW, areaH);
  }
  return true;
}
