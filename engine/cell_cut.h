#pragma once
// The cell cut's working state, shared by its parts: the cut itself (points, cells, attempts,
// edges, fills), the picture shapes of style 3 with the repair around them, and the final
// measuring of the regions.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/cells.h"
#include "engine/curves.h"
#include "engine/cut_cells.h"
#include "engine/shape_file.h"
#include "foundation/dib_ops.h"
#include "foundation/numeric.h"
#include "platform/metafile.h"

namespace cell_cut {

constexpr uint8_t kScaledKnobs = 1;    // the knob grows with the edge
constexpr uint8_t kAlternating = 2;    // sides and mirroring follow the edge's direction
constexpr uint8_t kShortStraight = 4;  // edges shorter than TileS / 3 are straight
constexpr int32_t kAttempts = 3;
constexpr int32_t kRepairRounds = 16;
constexpr int32_t kFrameCode = 5;
// A point that cannot be placed after this many draws takes the middle of its cell instead.
constexpr int32_t kMaxPointDraws = 10000;

// The piece rectangle grows to hold the inclusive box.
inline void GrowPieceRect(TPieceRecord& p, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  left = std::min(p.PieceX, left);
  top = std::min(p.PieceY, top);
  right = std::max(p.PieceX + p.PieceW - 1, right);
  bottom = std::max(p.PieceY + p.PieceH - 1, bottom);
  p.PieceX = left;
  p.PieceY = top;
  p.PieceW = right - left + 1;
  p.PieceH = bottom - top + 1;
}

inline bool SamePoint(TIntPoint a, TIntPoint b) { return a.x == b.x && a.y == b.y; }

// The distance of o from the line a-b: twice the triangle's area (Heron) over the base.
inline double Room(TIntPoint a, TIntPoint b, TIntPoint o) {
  const double ab = std::hypot(double(b.x - a.x), double(b.y - a.y));
  const double ao = std::hypot(double(o.x - a.x), double(o.y - a.y));
  const double bo = std::hypot(double(o.x - b.x), double(o.y - b.y));
  if (ab == 0) return 0;
  const double s = (ab + ao + bo) / 2;
  const double product = s * (s - ab) * (s - ao) * (s - bo);
  return 2 * std::sqrt(std::max(0.0, product)) / ab;  // rounding may leave a tiny negative product
}

// The least squared distance from (mx, my) of a pixel of the colour in the rectangle
// (inclusive), 1e300 when it holds none.
double NearestSquare(const TDibImage& map, const TBoundsRect& rect, uint32_t colour, double mx, double my);

class TCellCut {
 public:
  TCellCut(TCutTarget& target, const std::string& shapePath)
      : Target(target), Level(target.GameLevel), Pieces(target.Pieces), ShapePath(shapePath) {}

  TShapeCounts Counts;

  bool Run();

 private:
  TCutTarget& Target;
  TLevelRecord& Level;
  TPieceRecord* Pieces;
  std::string ShapePath;
  TCutArea Area{};
  int32_t CellCount = 0;
  TShapeStyle Style = TShapeStyle::Irregular;
  uint8_t Flags = 0;
  std::span<const int32_t> Fallback;
  TShapeFile Shapes;
  bool UseShapes = false;
  std::unique_ptr<TCellRecord[]> Cells;
  // The cells as relaxation left them, for every attempt to start from: only what a restore
  // reads, a small part of a full record.
  struct TSavedSegment {
    double rx1, ry1, rx2, ry2;
    uint16_t NeighbourId;
  };
  struct TSavedCell {
    double CentreX, CentreY;
    int32_t First, Count;  // its segments in SavedSegments
  };
  std::vector<TSavedCell> SavedCells;
  std::vector<TSavedSegment> SavedSegments;
  TCellBuilder Builder;
  // The last fill that found its seed taken: piece index and seed.
  int32_t FailedIndex = -1, FailedX = 0, FailedY = 0;
  bool RepairFailed = false;
  bool MapBlank = false;  // the map is blank already for the next attempt
  bool Settled = false;   // the map's clean-up has run, in the attempt that stands
  // Shapes whose surroundings the repair could not close; they are taken out and the repair
  // runs again without them.
  std::vector<uint8_t> ShapeFailed;
  // Edges between two plain cells that could not be led to the shape beside them.
  struct TUnledEdge {
    int32_t A, B, Shape;
  };
  std::vector<TUnledEdge> Unled;
  struct TDrawnShape {
    TMetafile Outline;
    int32_t X, Y, W, H;
  };
  std::vector<TDrawnShape> Drawn;

  uint32_t Colour(int32_t i) const { return PieceColor(Pieces[i].Code); }
  bool Shaped(int32_t i) const { return UseShapes && Pieces[i].ShapeFlag != 0; }
  bool IsCellNeighbour(const TCellSegment& s) const { return s.NeighbourId != kBorderId; }
  TIntPoint Point(int32_t i) const { return {Pieces[i].SeedX, Pieces[i].SeedY}; }

  void DrawLine(TIntPoint a, TIntPoint b, uint32_t colour) { DrawDibLine(Target.CutMap, a.x, a.y, b.x, b.y, colour); }

  void PaintBlankMap();
  static void PaintBlank(TDibImage& map, int32_t w, int32_t h);
  void DrawFrameLines(TDibImage& map, uint32_t colour);
  void SeparateCodes();
  void PlacePoints();
  bool BuildOrGrid(std::string& message);
  void Triangulate(std::string& triangulationFailure);
  void BuildGridCells();
  bool Attempt();
  void SaveCells();
  void RestoreCells();
  void SortEdges();
  void LinkTwins();
  void MeasureEdges();
  bool PlaceShapes();
  void MoveCrowdedShapes();
  void DrawShape(int32_t r, int32_t c, const TMfClip& clip);
  bool ShapeOverlaps(int32_t r, int32_t c, uint32_t colour) const;
  bool RepairAroundShapesUntilClosed(const TMfClip& clip, const std::vector<TPieceRecord>& plain);
  bool RepairAroundShapes();
  void ExtendEdge(int32_t cell, int32_t slot, int32_t shape);
  // Where a walk may meet a shape: around its own drawing only, never at another shape of the
  // same code further along the line.
  TBoundsRect ShapeClip(int32_t shape) const {
    const TDrawnShape& d = Drawn[size_t(shape)];
    return {std::max(Area.Left, d.X - 1), std::max(Area.Top, d.Y - 1), std::min(Area.Right, d.X + d.W),
            std::min(Area.Bottom, d.Y + d.H)};
  }
  bool MarkLeakingShapes();
  TIntPoint NearestShapePixel(int32_t shape, TIntPoint p) const;
  int32_t JoinCellSegments(TIntPoint a, TIntPoint b, int32_t cell, int32_t s, int32_t t, int32_t& shape);
  void SetEnds(int32_t cell, int32_t slot, TIntPoint a, TIntPoint b, bool newChord);
  void DrawSidesAndEdges();
  void DrawEdge(int32_t cell, TCellSegment& s);
  void SetActiveKnobs(double length, TIntPoint p1, TIntPoint p2);
  bool Fill();
  void FillHoles();
  void FillWhitePockets();
  void MeasurePieces();
  void Settle();
  bool RegionsSound();
  void Finish();
  void Step() { Target.Progress.Step(); }
};

}  // namespace cell_cut
