// GIF decoding with giflib: the first frame, composed on its logical screen.
#include <cstring>
#include <string>
#include <vector>

#include <gif_lib.h>

#include "foundation/picture_codec_common.h"
#include "foundation/picture_loading.h"

namespace {

using picture_codec::Fail;

// One LZW code of at most 12 bits stands for at most 4096 pixels, so a file cannot describe
// more than about 2731 pixels per byte; larger promises are refused before allocating.
constexpr int64_t kLzwPixelsPerByte = 2731;
constexpr int64_t kLzwSlack = 1 << 16;

int GifRead(GifFileType* gif, GifByteType* out, int count) {
  auto* src = static_cast<picture_codec::TByteReader*>(gif->UserData);
  return count <= 0 ? 0 : int(src->Read(out, size_t(count)));
}

struct TGifCloser {
  GifFileType* Gif;
  ~TGifCloser() {
    int err = 0;
    if (Gif) DGifCloseFile(Gif, &err);
  }
};

std::string GifMessage(int code) {
  const char* text = GifErrorString(code);
  return std::string("GIF error: ") + (text ? text : "unknown");
}

}  // namespace

bool DecodeGif(TDibImage& image, const uint8_t* data, size_t size, std::string* error) {
  if (size < 6 || std::memcmp(data, "GIF8", 4) != 0) return Fail(error, "Not a GIF file");
  picture_codec::TByteReader src{data, size, 0};
  int err = 0;
  TGifCloser closer{DGifOpen(&src, GifRead, &err)};
  GifFileType* gif = closer.Gif;
  if (!gif) return Fail(error, GifMessage(err));
  const int64_t pixelBudget = int64_t(size) * kLzwPixelsPerByte + kLzwSlack;

  int transparent = NO_TRANSPARENT_COLOR;
  for (;;) {
    GifRecordType record;
    if (DGifGetRecordType(gif, &record) == GIF_ERROR) return Fail(error, GifMessage(gif->Error));
    if (record == TERMINATE_RECORD_TYPE) return Fail(error, "GIF file holds no picture");
    if (record == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* block = nullptr;
      if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return Fail(error, GifMessage(gif->Error));
      if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] == 4) {
        GraphicsControlBlock gcb;
        if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) transparent = gcb.TransparentColor;
      }
      while (block) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return Fail(error, GifMessage(gif->Error));
      }
      continue;
    }
    if (record != IMAGE_DESC_RECORD_TYPE) continue;
    if (DGifGetImageDesc(gif) == GIF_ERROR) return Fail(error, GifMessage(gif->Error));
    break;
  }

  const GifImageDesc& frame = gif->Image;
  const ColorMapObject* colors = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
  if (!colors || !colors->Colors) return Fail(error, "GIF picture has no colour table");
  const int64_t frameW = frame.Width, frameH = frame.Height;
  const int64_t screenW = gif->SWidth > 0 ? gif->SWidth : frame.Left + frameW;
  const int64_t screenH = gif->SHeight > 0 ? gif->SHeight : frame.Top + frameH;
  if (frameW <= 0 || frameH <= 0 || frameW * frameH > pixelBudget || screenW * screenH > pixelBudget ||
      !picture_codec::FitsBitmapLimits(screenW, screenH, 3))
    return Fail(error, "GIF picture of " + std::to_string(screenW) + " x " + std::to_string(screenH) +
                           " pixels is not supported");

  TDibHolder decoded;
  if (!CreateDib24(*decoded, int32_t(screenW), int32_t(screenH)))
    return Fail(error, "Out of memory for the GIF picture");
  uint8_t background[3] = {0, 0, 0};
  if (gif->SColorMap && gif->SBackGroundColor < gif->SColorMap->ColorCount) {
    const GifColorType& c = gif->SColorMap->Colors[gif->SBackGroundColor];
    background[0] = c.Blue;
    background[1] = c.Green;
    background[2] = c.Red;
  }
  for (int32_t y = 0; y < decoded->Height; ++y) {
    uint8_t* p = DibScanLine(*decoded, y);
    for (int32_t x = 0; x < decoded->Width; ++x, p += 3) std::memcpy(p, background, 3);
  }

  // Interlaced frames arrive in four passes of rows.
  static const int kPassStart[4] = {0, 4, 2, 1};
  static const int kPassStep[4] = {8, 8, 4, 2};
  std::vector<GifPixelType> line(static_cast<size_t>(frameW));
  auto paintRow = [&](int64_t row) {
    const int64_t y = frame.Top + row;
    if (y < 0 || y >= screenH) return;
    uint8_t* dst = DibScanLine(*decoded, int32_t(y));
    for (int64_t x = 0; x < frameW; ++x) {
      const int64_t sx = frame.Left + x;
      const int index = line[size_t(x)];
      if (sx < 0 || sx >= screenW || index == transparent) continue;
      uint8_t* p = dst + sx * 3;
      if (index < colors->ColorCount) {
        const GifColorType& c = colors->Colors[index];
        p[0] = c.Blue;
        p[1] = c.Green;
        p[2] = c.Red;
      } else {
        p[0] = p[1] = p[2] = 0;
      }
    }
  };
  const int passes = frame.Interlace ? 4 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    const int start = frame.Interlace ? kPassStart[pass] : 0;
    const int step = frame.Interlace ? kPassStep[pass] : 1;
    for (int64_t row = start; row < frameH; row += step) {
      if (DGifGetLine(gif, line.data(), int(frameW)) == GIF_ERROR) return Fail(error, GifMessage(gif->Error));
      paintRow(row);
    }
  }
  picture_codec::Adopt(image, *decoded);
  return true;
}
