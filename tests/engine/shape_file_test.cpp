#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include <unistd.h>

#include "engine/shape_file.h"
#include "platform/bitmap.h"
#include "support/file_bytes.h"
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
      patched(12 + 8, 0),                        // zero width: fitting would divide by it
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

  // A good file grown past 256 MiB is no shape file, however good its start: refused unread.
  const std::string big = ::testing::TempDir() + "/big_shapes.dat";
  Spit(big, SmallFile());
  ASSERT_TRUE(LoadShapeFile(big, shapes));
  ASSERT_EQ(truncate(big.c_str(), (off_t(1) << 28) + 1), 0);  // sparse: no disk taken
  EXPECT_FALSE(LoadShapeFile(big, shapes));
  EXPECT_EQ(shapes.ShapeCount, 0);
  std::remove(big.c_str());
}

// Every kind of point record, with points at each edge of the reach a drawing allows (one
// drawing size beyond its bounds) and one pixel past it; the drawing does not start at 0, 0.
TEST(ShapeFile, PointsAreKeptUpToOneDrawingBeyondTheBoundsAndNoFurther) {
  constexpr int32_t kLeft = 5, kTop = 7, kW = 30, kH = 20;
  const int32_t xs[] = {kLeft - kW - 1, kLeft - kW, kLeft + 2 * kW - 1, kLeft + 2 * kW};
  const int32_t ys[] = {kTop - kH - 1, kTop - kH, kTop + 2 * kH - 1, kTop + 2 * kH};
  const auto inside = [&](int32_t x, int32_t y) {
    return x >= kLeft - kW && x < kLeft + 2 * kW && y >= kTop - kH && y < kTop + 2 * kH;
  };
  const auto parses = [](const std::vector<uint8_t>& blob) {
    const std::vector<uint8_t> file = WriteShapeFile({{30, 20, false, false, blob}});
    TShapeFile shapes;
    return ParseShapeFile(file.data(), file.size(), shapes);
  };
  std::vector<std::pair<int32_t, int32_t>> points;
  for (int32_t x : xs) points.push_back({x, kTop});
  for (int32_t y : ys) points.push_back({kLeft, y});
  for (auto [x, y] : points) {
    SCOPED_TRACE(testing::Message() << x << "," << y);
    for (uint32_t type : {kMfMoveTo, kMfLineTo, kMfSetPixel, kMfExtFloodFill}) {
      TMetafileWriter mf(kW, kH, kLeft, kTop);
      mf.Record(type, {x, y, 0, 0});
      EXPECT_EQ(parses(mf.Finish()), inside(x, y)) << type;
    }
    for (uint32_t type : {kMfPolyBezier, kMfPolygon, kMfPolyline, kMfPolyBezierTo, kMfPolylineTo, kMfPolyBezier16,
                          kMfPolygon16, kMfPolyline16, kMfPolyBezierTo16}) {
      // The point out of reach comes last, after three that are fine.
      TMetafileWriter mf(kW, kH, kLeft, kTop);
      mf.Poly(type, {{kLeft, kTop}, {kLeft + 1, kTop}, {kLeft, kTop + 1}, {x, y}}, type < kMfPolyBezier16);
      EXPECT_EQ(parses(mf.Finish()), inside(x, y)) << type;
    }
  }
}

TEST(ShapeFile, EntrySizesAndCountsAreTriedAtTheirLimits) {
  const std::vector<uint8_t> good = SmallFile();
  TShapeFile shapes;
  const auto parsesWith = [&](size_t at, uint32_t v) {
    std::vector<uint8_t> b = good;
    Put(b, at, v);
    return ParseShapeFile(b.data(), b.size(), shapes);
  };
  for (size_t field : {size_t(12 + 8), size_t(12 + 12), 12 + kShapeEntrySize + 8, 12 + kShapeEntrySize + 12}) {
    SCOPED_TRACE(field);
    EXPECT_TRUE(parsesWith(field, 1));
    EXPECT_FALSE(parsesWith(field, 0));
    EXPECT_TRUE(parsesWith(field, uint32_t(kMfMaxSide)));
    EXPECT_FALSE(parsesWith(field, uint32_t(kMfMaxSide) + 1));
    EXPECT_FALSE(parsesWith(field, uint32_t(-1)));
  }
  // A blob that would end one byte past the file.
  EXPECT_FALSE(parsesWith(12 + kShapeEntrySize + 4, Int32At(good, 12 + kShapeEntrySize + 4) + 1));
  // A count one more than the directory holds, or than any file may hold.
  EXPECT_FALSE(parsesWith(8, 3));
  EXPECT_FALSE(parsesWith(8, uint32_t(-1)));

  const std::vector<uint8_t> outline = Outline(8, 8);
  std::vector<TShapeSource> many(size_t(kMaxShapeCount), {8, 8, false, false, outline});
  std::vector<uint8_t> full = WriteShapeFile(many);
  ASSERT_TRUE(ParseShapeFile(full.data(), full.size(), shapes));
  EXPECT_EQ(shapes.ShapeCount, kMaxShapeCount);
  many.push_back(many.back());
  full = WriteShapeFile(many);
  EXPECT_FALSE(ParseShapeFile(full.data(), full.size(), shapes));
  EXPECT_EQ(shapes.ShapeCount, 0);
  // Too short to hold its count.
  EXPECT_FALSE(ParseShapeFile(full.data(), 11, shapes));
  EXPECT_FALSE(ParseShapeFile(nullptr, full.size(), shapes));
}

}  // namespace
