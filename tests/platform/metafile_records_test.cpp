#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/metafile.h"

namespace {

constexpr uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

// The drawing played at its own size on white, one letter a pixel: '.' white, 'r' red, 'g'
// green, 'b' blue, 'k' black, '?' anything else.
std::vector<std::string> Rows(const TMetafile& mf, int32_t w, int32_t h) {
  TPlatformBitmap* b = CreatePlatformBitmap(w, h, 24);
  std::memset(b->Pixels, 255, size_t(b->AllocatedStride) * size_t(h));
  PlayMetafile(mf, *b, 0, 0, w, h, {0, 0, w - 1, h - 1});
  std::vector<std::string> rows;
  for (int32_t y = 0; y < h; ++y) {
    std::string row;
    for (int32_t x = 0; x < w; ++x) {
      const uint8_t* p = b->Pixels + (h - 1 - y) * b->AllocatedStride + 3 * x;
      const uint32_t c = p[2] | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
      row += c == 0xFFFFFF ? '.' : c == kRed ? 'r' : c == kGreen ? 'g' : c == kBlue ? 'b' : c == 0 ? 'k' : '?';
    }
    rows.push_back(row);
  }
  DestroyPlatformBitmap(b);
  return rows;
}

std::vector<std::string> Play(int32_t w, int32_t h, const std::function<void(TMetafileWriter&)>& body) {
  TMetafileWriter writer(w, h);
  body(writer);
  const std::vector<uint8_t> bytes = writer.Finish();
  TMetafile mf;
  EXPECT_TRUE(MetafileFromBytes(bytes.data(), bytes.size(), mf));
  return Rows(mf, w, h);
}

struct TCase {
  const char* Name;
  std::function<void(TMetafileWriter&)> Body;
  std::vector<std::string> Want;
};

// Pen style 5 and brush style 1 are the null ones; handles are slots, stock objects carry the
// top bit. An extended pen holds its style at 28 and its colour at 40.
void ExtPen(TMetafileWriter& w, int32_t handle, int32_t style, uint32_t colour) {
  w.Record(kMfExtCreatePen, {handle, 0, 0, 0, 0, style, 1, 0, int32_t(colour)});
  w.Record(kMfSelectObject, {handle});
}

}  // namespace

// Each record kind as a drawing program writes it, played on a small canvas.
TEST(MetafileRecords, EachRecordDrawsWhatItSays) {
  const std::vector<TCase> cases = {
      {"a pixel of its own colour, whatever the pen",
       [](TMetafileWriter& w) {
         w.CreatePen(kGreen);
         w.Record(kMfSetPixel, {2, 1, int32_t(kRed)});
         w.Record(kMfSetPixel, {5, 3, int32_t(0x7F0000FF)});  // the top byte is no colour
       },
       {"......", "..r...", "......", ".....r"}},
      {"a line from the current position, both ends in; the default pen is black",
       [](TMetafileWriter& w) {
         w.Record(kMfMoveTo, {1, 1});
         w.Record(kMfLineTo, {4, 1});
         w.Record(kMfLineTo, {4, 3});
       },
       {"......", ".kkkk.", "....k.", "....k."}},
      {"a curve outside a path strokes from the current position and moves it to its end",
       [](TMetafileWriter& w) {
         w.CreatePen(kBlue);
         w.Record(kMfMoveTo, {0, 0});
         w.Poly(kMfPolyBezierTo, {{1, 0}, {3, 0}, {4, 0}, {5, 5}}, true);  // the last point makes no curve
         w.Record(kMfLineTo, {4, 3});
       },
       {"bbbbb.", "....b.", "....b.", "....b."}},
      {"the same curve in 16-bit points",
       [](TMetafileWriter& w) {
         w.CreatePen(kBlue);
         w.Record(kMfMoveTo, {0, 3});
         w.Poly(kMfPolyBezierTo16, {{1, 3}, {3, 3}, {4, 3}}, false);
         w.Record(kMfLineTo, {4, 0});
       },
       {"....b.", "....b.", "....b.", "bbbbb."}},
      {"a second curve starts where the first whole curve of the one before ended",
       [](TMetafileWriter& w) {
         w.CreatePen(kBlue);
         w.Record(kMfMoveTo, {0, 0});
         w.Poly(kMfPolyBezierTo, {{5, 0}, {0, 0}, {5, 0}, {0, 3}}, true);  // back and forth on a row
         w.Poly(kMfPolyBezierTo, {{5, 3}, {5, 3}, {5, 3}}, true);
       },
       {"bbbbbb", ".....b", ".....b", ".....b"}},
      {"an aborted path draws nothing, and lines after it are drawn at once",
       [](TMetafileWriter& w) {
         w.CreatePen(kRed);
         w.Record(kMfBeginPath, {});
         w.Record(kMfMoveTo, {0, 0});
         w.Record(kMfLineTo, {5, 0});
         w.Record(kMfAbortPath, {});
         w.Record(kMfStrokePath, {0, 0, 5, 3});
         w.Record(kMfLineTo, {5, 3});
       },
       {".....r", ".....r", ".....r", ".....r"}},
      {"a path is drawn only once it is ended",
       [](TMetafileWriter& w) {
         w.CreatePen(kRed);
         w.Record(kMfBeginPath, {});
         w.Record(kMfMoveTo, {0, 1});
         w.Record(kMfLineTo, {5, 1});
         w.Record(kMfStrokePath, {0, 0, 5, 3});  // still open: ignored
         w.Record(kMfEndPath, {});
         w.Record(kMfStrokePath, {0, 0, 5, 3});
         w.CreatePen(kBlue);
         w.Record(kMfStrokePath, {0, 0, 5, 3});  // the path is used up
       },
       {"......", "rrrrrr", "......", "......"}},
      {"stroke and fill: the brush inside the half-open rows, the pen all round",
       [](TMetafileWriter& w) {
         w.CreatePen(kRed);
         w.CreateBrush(kGreen);
         w.Record(kMfBeginPath, {});
         w.Record(kMfMoveTo, {1, 0});
         w.Record(kMfLineTo, {4, 0});
         w.Record(kMfLineTo, {4, 3});
         w.Record(kMfLineTo, {1, 3});  // not closed: filling closes it
         w.Record(kMfEndPath, {});
         w.Record(kMfStrokeAndFillPath, {1, 0, 4, 3});
       },
       {".rrrr.", ".rggr.", ".rggr.", ".rrrr."}},
      {"a filled path without an outline fills the rows from its top to before its bottom",
       [](TMetafileWriter& w) {
         w.CreateBrush(kGreen);
         w.Record(kMfSelectObject, {int32_t(kMfNullPen)});
         w.Polygon({{1, 0}, {4, 0}, {4, 3}, {1, 3}});
       },
       {".gggg.", ".gggg.", ".gggg.", "......"}},
      {"a deleted object cannot be selected again; the one in use stays",
       [](TMetafileWriter& w) {
         w.CreatePen(kRed);   // slot 1
         w.CreatePen(kBlue);  // slot 2, selected
         w.Record(kMfDeleteObject, {1});
         w.Record(kMfSelectObject, {1});
         w.Polyline({{0, 2}, {5, 2}});
       },
       {"......", "......", "bbbbbb", "......"}},
      {"stock objects: the black pen and the null brush",
       [](TMetafileWriter& w) {
         w.CreatePen(kRed);
         w.CreateBrush(kGreen);
         w.Record(kMfSelectObject, {int32_t(kMfBlackPen)});
         w.Record(kMfSelectObject, {int32_t(kMfNullBrush)});
         w.Polygon({{0, 0}, {3, 0}, {3, 3}, {0, 3}});
       },
       {"kkkk..", "k..k..", "k..k..", "kkkk.."}},
      {"stock brushes have their greys; an unknown stock number changes nothing",
       [](TMetafileWriter& w) {
         w.Record(kMfSelectObject, {int32_t(kMfNullPen)});
         w.Record(kMfSelectObject, {int32_t(kMfStockObject | 4)});  // the black brush
         w.Record(kMfSelectObject, {int32_t(kMfStockObject | 9)});
         w.Polygon({{0, 0}, {2, 0}, {2, 2}, {0, 2}});
       },
       {"kkk...", "kkk...", "......", "......"}},
      {"extended pens: a null style draws nothing, a solid one its colour",
       [](TMetafileWriter& w) {
         ExtPen(w, 1, 5, kRed);
         w.Polyline({{0, 0}, {5, 0}});
         ExtPen(w, 2, 0, kGreen);
         w.Polyline({{0, 3}, {5, 3}});
       },
       {"......", "......", "......", "gggggg"}},
      {"a null brush style fills nothing",
       [](TMetafileWriter& w) {
         w.Record(kMfCreateBrush, {1, 1, int32_t(kGreen), 0});
         w.Record(kMfSelectObject, {1});
         w.CreatePen(kBlue);
         w.Polygon({{0, 0}, {3, 0}, {3, 3}, {0, 3}});
       },
       {"bbbb..", "b..b..", "b..b..", "bbbb.."}},
      {"16-bit polylines and a lone point",
       [](TMetafileWriter& w) {
         w.CreatePen(kRed);
         w.Poly(kMfPolyline16, {{0, 1}, {2, 1}, {2, 3}}, false);
         w.Poly(kMfPolyline, {{5, 0}}, true);
       },
       {".....r", "rrr...", "..r...", "..r..."}},
      {"a closed figure of a path is outlined back to its start",
       [](TMetafileWriter& w) {
         w.CreatePen(kGreen);
         w.Record(kMfBeginPath, {});
         w.Record(kMfMoveTo, {0, 0});
         w.Record(kMfLineTo, {3, 0});
         w.Record(kMfLineTo, {3, 3});
         w.Record(kMfCloseFigure, {});
         w.Record(kMfEndPath, {});
         w.Record(kMfStrokePath, {0, 0, 3, 3});
       },
       {"gggg..", ".g.g..", "..gg..", "...g.."}},
  };
  for (const TCase& c : cases) EXPECT_EQ(Play(6, 4, c.Body), c.Want) << c.Name;
}

// Stretched playback: drawing pixel u of a drawing W wide lands on the target pixel that holds
// the centre of its stretched pixel, floor((2u + 1) w / 2W), rounding down left of the drawing
// too; the same along y, for a drawing that does not start at 0, 0.
TEST(MetafileRecords, StretchedPixelsLandWhereTheirCentresFall) {
  struct TCase {
    int32_t SourceSize, TargetSize, U, Lands;
  };
  for (const TCase& c : {TCase{2, 3, 0, 0}, TCase{2, 3, 1, 2}, TCase{2, 3, -1, -1}, TCase{2, 3, 2, 3},
                         TCase{3, 2, 0, 0}, TCase{3, 2, 1, 1}, TCase{3, 2, 2, 1}, TCase{3, 2, -2, -1},
                         TCase{3, 2, -1, -1}, TCase{3, 2, -3, -2}, TCase{4, 8, 3, 7}}) {
    SCOPED_TRACE(std::to_string(c.SourceSize) + " to " + std::to_string(c.TargetSize) + ", u " + std::to_string(c.U));
    TMetafileWriter writer(c.SourceSize, c.SourceSize, 10, 20);
    writer.Record(kMfSetPixel, {10 + c.U, 20 + c.U, int32_t(kRed)});
    const std::vector<uint8_t> bytes = writer.Finish();
    TMetafile mf;
    ASSERT_TRUE(MetafileFromBytes(bytes.data(), bytes.size(), mf));
    TPlatformBitmap* b = CreatePlatformBitmap(20, 20, 24);
    std::memset(b->Pixels, 255, size_t(b->AllocatedStride) * 20);
    PlayMetafile(mf, *b, 6, 5, c.TargetSize, c.TargetSize, {0, 0, 19, 19});
    std::vector<std::pair<int, int>> red;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) {
        const uint8_t* p = b->Pixels + (19 - y) * b->AllocatedStride + 3 * x;
        if (p[2] == 255 && p[1] == 0 && p[0] == 0) red.emplace_back(x, y);
      }
    EXPECT_EQ(red, (std::vector<std::pair<int, int>>{{6 + c.Lands, 5 + c.Lands}}));
    DestroyPlatformBitmap(b);
  }
}

// A buffer that never went through MetafileFromBytes may hold records too short for their
// fields: such a record is passed over, and its fields are never read from the record after it.
TEST(MetafileRecords, UncheckedRecordsTooShortForTheirColourAreIgnored) {
  const std::vector<TCase> cases = {
      {"a pen one word short",
       [](TMetafileWriter& w) {
         w.CreatePen(kRed);                     // slot 1, selected
         w.Record(kMfCreatePen, {1, 0, 1, 0});  // no colour word
         w.Record(kMfSelectObject, {1});
         w.Polyline({{0, 1}, {5, 1}});
       },
       {"......", "rrrrrr", "......", "......"}},
      {"an extended pen one word short",
       [](TMetafileWriter& w) {
         ExtPen(w, 1, 0, kGreen);
         w.Record(kMfExtCreatePen, {1, 0, 0, 0, 0, 0, 1, 0});
         w.Record(kMfSelectObject, {1});
         w.Polyline({{0, 2}, {5, 2}});
       },
       {"......", "......", "gggggg", "......"}},
      {"a brush one word short",
       [](TMetafileWriter& w) {
         w.Record(kMfSelectObject, {int32_t(kMfNullPen)});
         w.CreateBrush(kBlue);  // slot 1
         w.Record(kMfCreateBrush, {1, 0});
         w.Record(kMfSelectObject, {1});
         w.Polygon({{0, 0}, {2, 0}, {2, 2}, {0, 2}});
       },
       {"bbb...", "bbb...", "......", "......"}},
  };
  for (const TCase& c : cases) {
    TMetafileWriter writer(6, 4);
    c.Body(writer);
    TMetafile mf;
    mf.Bytes = writer.Finish();
    EXPECT_EQ(Rows(mf, 6, 4), c.Want) << c.Name;
  }
}
