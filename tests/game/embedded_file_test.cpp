#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <random>

#include "game/embedded_file.h"
#include "support/file_bytes.h"
#include "support/hostile_input.h"
#include "support/qt_picture_bytes.h"

namespace {
std::vector<uint8_t> Noise(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::vector<uint8_t> v(n);
  for (auto& b : v) b = uint8_t(gen());
  return v;
}

// The key that scrambles byte i: the base turned right by i bits (mod 8) when it rotates.
uint8_t KeyAt(uint8_t base, bool rotate, size_t i) {
  if (!rotate) return base;
  unsigned r = unsigned(i % 8);
  return uint8_t((base >> r | base << (8 - r)) & 0xFF);
}

std::vector<uint8_t> QtImageBytes(const char* format) { return QtPictureBytes(format, 32, 16, QColor(200, 40, 90)); }

struct TScrambleCase {
  uint8_t key;
  bool rotate;
};
}  // namespace

TEST(EmbeddedFile, RoundTripsAcrossChunkBordersWithBothKeyKinds) {
  QTemporaryDir dir;
  const std::string rec = dir.filePath("rec.bin").toStdString();
  const std::string src = dir.filePath("src.bin").toStdString();
  const std::string fromFile = dir.filePath("fromfile.bin").toStdString();
  const std::string temp = dir.filePath("temp.bin").toStdString();
  const TScrambleCase cases[] = {{PreviewKey, false}, {PictureKey, true}};
  for (size_t n : {size_t(0), size_t(1), size_t(49999), size_t(50000), size_t(50001), size_t(120000)}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << "n=" << n << " rotate=" << c.rotate);
      const std::vector<uint8_t> data = Noise(n, unsigned(n) + c.rotate);

      TBinaryWriter w;
      ASSERT_TRUE(w.Create(rec));
      ASSERT_TRUE(EmbedBytes(w, data, c.key, c.rotate));
      ASSERT_TRUE(w.Commit());
      const std::vector<uint8_t> file = Slurp(rec);
      ASSERT_EQ(file.size(), n + 4);
      EXPECT_EQ(file[0] | file[1] << 8 | file[2] << 16 | file[3] << 24, int(n));
      size_t wrong = 0;
      for (size_t i = 0; i < n; ++i) wrong += file[4 + i] != (data[i] ^ KeyAt(c.key, c.rotate, i));
      EXPECT_EQ(wrong, 0u);

      // Streaming from a file writes the very same record.
      Spit(src, data);
      TBinaryWriter wf;
      ASSERT_TRUE(wf.Create(fromFile));
      ASSERT_TRUE(EmbedFile(wf, src, c.key, c.rotate));
      ASSERT_TRUE(wf.Commit());
      EXPECT_EQ(Slurp(fromFile), file);

      TBinaryReader r;
      ASSERT_TRUE(r.Open(rec));
      std::vector<uint8_t> back{1, 2, 3};
      int64_t end = -1;
      ASSERT_TRUE(ExtractEmbeddedBytes(r, c.key, c.rotate, back, end));
      EXPECT_EQ(back, data);
      EXPECT_EQ(end, int64_t(n) + 4);

      ASSERT_TRUE(r.Seek(0));
      int32_t endPos = -1, size = -1;
      ASSERT_TRUE(ExtractEmbeddedImage(r, c.key, c.rotate, temp, endPos, size));
      EXPECT_EQ(size, int32_t(n));
      EXPECT_EQ(endPos, int32_t(n) + 4);
      EXPECT_EQ(Slurp(temp), data);
    }
  }
}

TEST(EmbeddedFile, EmptyFileGivesACountOfZeroAndNothingElse) {
  QTemporaryDir dir;
  const std::string src = dir.filePath("empty").toStdString();
  const std::string rec = dir.filePath("rec").toStdString();
  Spit(src, {});
  TBinaryWriter w;
  ASSERT_TRUE(w.Create(rec));
  ASSERT_TRUE(EmbedFile(w, src, PictureKey, true));
  ASSERT_TRUE(w.Commit());
  EXPECT_EQ(Slurp(rec), (std::vector<uint8_t>{0, 0, 0, 0}));

  TBinaryWriter missing;
  ASSERT_TRUE(missing.Create(rec));
  EXPECT_FALSE(EmbedFile(missing, dir.filePath("nope").toStdString(), PictureKey, true));
}

TEST(EmbeddedFile, HostileRecordsAreRefusedAndChangeNothing) {
  QTemporaryDir dir;
  const std::string rec = dir.filePath("rec").toStdString(), temp = dir.filePath("temp").toStdString();
  std::vector<uint8_t> good = {10, 0, 0, 0};
  good.resize(14, 0x42);
  ForEachHostileVariant(good, 200, [&](const std::vector<uint8_t>& bytes) {
    Spit(rec, bytes);
    Spit(temp, {9, 9, 9});
    TBinaryReader r;
    ASSERT_TRUE(r.Open(rec));
    std::vector<uint8_t> data{5};
    int64_t end = -7;
    int32_t endPos = -7, size = -7;
    const int64_t count = bytes.size() < 4 ? -1 : int32_t(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | bytes[3] << 24);
    const bool honest = count >= 0 && count <= int64_t(bytes.size()) - 4;
    EXPECT_EQ(ExtractEmbeddedBytes(r, PreviewKey, false, data, end), honest);
    ASSERT_TRUE(honest || r.Position() == 0);
    ASSERT_TRUE(r.Seek(0));
    EXPECT_EQ(ExtractEmbeddedImage(r, PreviewKey, false, temp, endPos, size), honest);
    if (honest) return;
    EXPECT_EQ(data, std::vector<uint8_t>{5});
    EXPECT_TRUE(end == -7 && size == -7 && r.Position() == 0);
    EXPECT_EQ(Slurp(temp), (std::vector<uint8_t>{9, 9, 9}));
    EXPECT_FALSE(SkipEmbeddedFile(r, size));
  });
  // An honest record that cannot be written out is refused too, and the reader goes back.
  Spit(rec, good);
  TBinaryReader r;
  ASSERT_TRUE(r.Open(rec));
  int32_t endPos = -7, size = -7;
  EXPECT_FALSE(
      ExtractEmbeddedImage(r, PreviewKey, false, dir.filePath("no/such/folder/temp").toStdString(), endPos, size));
  EXPECT_TRUE(endPos == -7 && size == -7 && r.Position() == 0);
}

TEST(PictureKind, TellsRealFilesApart) {
  QTemporaryDir dir;
  auto kindOf = [&](const std::vector<uint8_t>& bytes) {
    std::string p = dir.filePath("f").toStdString();
    Spit(p, bytes);
    return std::pair(DetectImageKind(p), IsJfifFile(p));
  };
  const std::vector<uint8_t> jpeg = QtImageBytes("JPG");
  EXPECT_EQ(kindOf(jpeg), std::pair(ImageKindJpeg, true));
  EXPECT_EQ(kindOf(QtImageBytes("PNG")), std::pair(ImageKindUnknown, false)) << "no PNG in a jigsaw";
  // The same JPEG opening with an Exif segment is a JPEG, but no JFIF file.
  std::vector<uint8_t> exif = {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x08, 'E', 'x', 'i', 'f', 0, 0};
  exif.insert(exif.end(), jpeg.begin() + 2, jpeg.end());
  EXPECT_EQ(kindOf(exif), std::pair(ImageKindJpeg, false));
  // JFIF version 2 does not count either.
  std::vector<uint8_t> v2 = jpeg;
  v2[11] = 2;
  EXPECT_EQ(kindOf(v2), std::pair(ImageKindJpeg, false));
  EXPECT_EQ(DetectImageKind(dir.filePath("missing").toStdString()), ImageKindUnknown);
  EXPECT_FALSE(IsJfifFile(dir.filePath("missing").toStdString()));
}
