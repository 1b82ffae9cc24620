#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "engine/shape_file.h"
#include "platform/bitmap.h"
#include "support/hostile_input.h"

namespace {

std::string DataPath(const char* name) {
  const char* dir = std::getenv("ZORVA_DATA_DIR");
  return std::string(dir ? dir : "data") + "/" + name;
}

std::vector<uint8_t> Outline(int32_t w, int32_t h) {
  TMetafileWriter writer(w, h);
  writer.CreatePen(0);
  writer.CreateBrush(0);
  writer.Polygon({{0, 0}, {w - 1, 0}, {w / 2, h - 1}});
  return writer.Finish();
}

std::vector<uint8_t> SmallFile() {
  return WriteShapeFile({{30, 20, true, false, Outline(30, 20)}, {12, 40, false, true, Outline(12, 40)}});
}

void Put(std::vector<uint8_t>& b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }

TEST(ShapeFile, TheShippedFileHoldsWellFormedOutlines) {
  TShapeFile shapes;
  ASSERT_TRUE(LoadShapeFile(DataPath("pic_zorva.dat"), shapes));
  EXPECT_GE(shapes.ShapeCount, 24);
  EXPECT_LE(shapes.ShapeCount, 40);
  for (int32_t i = 0; i < shapes.ShapeCount; ++i) {
    const TShapeEntry& e = shapes.ShapeDirectory[size_t(i)];
    EXPECT_EQ(MetafileSize(e.Blob).W, e.Width) << i;
    EXPECT_EQ(MetafileSize(e.Blob).H, e.Height) << i;
    // Played at its own size, the silhouette is filled and spans its drawing to a pixel.
    TPlatformBitmap* b = CreatePlatformBitmap(e.Width + 2, e.Height + 2, 24);
    std::memset(b->Pixels, 255, size_t(b->AllocatedStride) * size_t(b->Height));
    PlayMetafile(e.Blob, *b, 1, 1, e.Width, e.Height, {0, 0, b->Width - 1, b->Height - 1});
    int32_t left = b->Width, top = b->Height, right = -1, bottom = -1, painted = 0;
    for (int32_t y = 0; y < b->Height; ++y) {
      for (int32_t x = 0; x < b->Width; ++x) {
        if (b->Pixels[(b->Height - 1 - y) * b->AllocatedStride + 3 * x] == 255) continue;
        ++painted;
        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
      }
    }
    DestroyPlatformBitmap(b);
    EXPECT_TRUE(left >= 1 && top >= 1 && right <= e.Width && bottom <= e.Height) << i;
    EXPECT_GE(std::min(right - left + 2 - e.Width, bottom - top + 2 - e.Height), 0) << i;
    EXPECT_GT(painted, e.Width * e.Height / 8) << i;  // an outline alone would be a few percent
  }
  ShapeMetafile(shapes, shapes.ShapeCount - 1);
  EXPECT_TRUE(shapes.HasCurrentShape);
  EXPECT_EQ(shapes.CurrentShape.Bytes, shapes.ShapeDirectory.back().Blob.Bytes);
  FreeShapeFile(shapes);
  EXPECT_EQ(shapes.ShapeCount, 0);
  EXPECT_FALSE(shapes.HasCurrentShape);
}

TEST(ShapeFile, EntriesAreFoundThroughTheirOffsetsInAnyOrder) {
  std::vector<uint8_t> file = SmallFile();
  TShapeFile shapes;
  ASSERT_TRUE(ParseShapeFile(file.data(), file.size(), shapes));
  EXPECT_EQ(shapes.ShapeDirectory[0].Width, 30);
  EXPECT_TRUE(shapes.ShapeDirectory[0].MirrorTopBottom);
  EXPECT_FALSE(shapes.ShapeDirectory[0].MirrorLeftRight);
  EXPECT_TRUE(shapes.ShapeDirectory[1].MirrorLeftRight);

  // Swap the two blobs in the file and their offsets in the directory.
  const std::vector<uint8_t> a = Outline(30, 20), b = Outline(12, 40);
  const size_t start = 12 + 2 * kShapeEntrySize;
  std::vector<uint8_t> swapped(file.begin(), file.begin() + std::ptrdiff_t(start));
  swapped.insert(swapped.end(), b.begin(), b.end());
  swapped.insert(swapped.end(), a.begin(), a.end());
  Put(swapped, 12, uint32_t(start + b.size()));
  Put(swapped, 12 + kShapeEntrySize, uint32_t(start));
  ASSERT_TRUE(ParseShapeFile(swapped.data(), swapped.size(), shapes));
  EXPECT_EQ(shapes.ShapeDirectory[0].Blob.Bytes, std::vector<uint8_t>(a.begin(), a.end()));
  EXPECT_EQ(shapes.ShapeDirectory[1].Blob.Bytes, std::vector<uint8_t>(b.begin(), b.end()));
}

TEST(ShapeFile, HostileFilesAreRefusedAsAWhole) {
  const std::vector<uint8_t> good = SmallFile();
  TShapeFile shapes;
  ForEachHostileVariant(good, 400, [&](const std::vector<uint8_t>& b) {
    if (!ParseShapeFile(b.data(), b.size(), shapes)) {
      EXPECT_TRUE(shapes.ShapeCount == 0 && shapes.ShapeDirectory.empty());
    }
  });
  const size_t blob0 = 12 + 2 * kShapeEntrySize;
  auto patched = [&](size_t at, uint32_t v) {
    std::vector<uint8_t> b = good;
    Put(b, at, v);
    return b;
  };
  std::vector<uint8_t> zeroMagic = good;
  zeroMagic[7] = 0;  // "BJ61DAT" and a zero byte: the blank belongs to the magic
  // The cut mirrors, turns and plots every point in 32-bit arithmetic.
  TMetafileWriter far(30, 20);
  far.Polyline({{0, 0}, {10, 1500000000}});
  // The same in 16-bit points, far down and far right.
  TMetafileWriter low(30, 20), wide(30, 20);
  low.Polygon16({{0, 0}, {29, 0}, {15, 30000}});
  wide.Polygon16({{0, 0}, {30000, 0}, {15, 19}});
  const std::vector<std::vector<uint8_t>> bad = {
      zeroMagic,
      patched(12 + 8, 0),                       // zero width: fitting would divide by it
      patched(blob0 + 24, uint32_t(INT32_MIN)),  // a frame that starts out of all reach
      WriteShapeFile({{30, 20, false, false, far.Finish()}}),
      WriteShapeFile({{30, 20, false, false, low.Finish()}}),
      WriteShapeFile({{30, 20, false, false, wide.Finish()}}),
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    EXPECT_FALSE(ParseShapeFile(bad[i].data(), bad[i].size(), shapes)) << i;
    EXPECT_EQ(shapes.ShapeCount, 0) << i;
  }
  // A curve's control points may lie a little outside the drawing; trailing bytes do no harm.
  TMetafileWriter curve(30, 20);
  curve.Poly(kMfPolyBezier, {{0, 19}, {-20, -15}, {49, -19}, {29, 19}}, true);
  const std::vector<uint8_t> arch = WriteShapeFile({{30, 20, false, false, curve.Finish()}});
  EXPECT_TRUE(ParseShapeFile(arch.data(), arch.size(), shapes));
  std::vector<uint8_t> longer = good;
  longer.resize(good.size() + 100, 0xEE);
  EXPECT_TRUE(ParseShapeFile(longer.data(), longer.size(), shapes));
}

TEST(ShapeFile, MissingAndEmptyFilesAreRefused) {
  TShapeFile shapes;
  EXPECT_FALSE(LoadShapeFile("/nonexistent/pic_zorva.dat", shapes));
  const std::string path = ::testing::TempDir() + "/empty_shapes.dat";
  { std::ofstream(path, std::ios::binary).flush(); }
  EXPECT_FALSE(LoadShapeFile(path, shapes));
  const std::vector<uint8_t> none = WriteShapeFile({});
  EXPECT_TRUE(ParseShapeFile(none.data(), none.size(), shapes));  // no shapes is a valid file
  EXPECT_EQ(shapes.ShapeCount, 0);
}

}  // namespace
