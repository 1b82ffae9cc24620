#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/piece_record.h"
#include "foundation/dib_image.h"
#include "foundation/level_record.h"
#include "foundation/numeric.h"

// Irregular cells: one seed point per grid cell, the Voronoi cells of the points (built from
// their Delaunay triangulation), clipped to the cut area.

constexpr int32_t kCellSegmentRoom = 20;
constexpr int32_t kCellTriangleRoom = 20;
constexpr uint16_t kBorderId = 65535;  // neighbour id of an edge along the cut-area border
constexpr uint16_t kNoShapeId = 65535;
// Results of joining two crossing edges of a cell at a new junction.
constexpr int32_t kJoined = 0;
constexpr int32_t kJoinNotPossible = 100;
constexpr int32_t kJoinWalkFailed = 101;
constexpr const char* kFirstEdgeFailedText = "Finding first edge failed!";

// The cut area of a game: the inclusive rectangle (JigsL, JigsT) .. (JigsR, JigsB).
struct TCutArea {
  int32_t Left, Top, Right, Bottom;
};
inline TCutArea CutAreaOf(const TLevelRecord& level) { return {level.JigsL, level.JigsT, level.JigsR, level.JigsB}; }

struct TCellSegment {
  double x1, y1, x2, y2;      // working ends (whole numbers once the cut has rounded them)
  double rx1, ry1, rx2, ry2;  // the unrounded ends (for picture shapes: the chord across the cut area)
  uint16_t NeighbourId;       // kBorderId for the border
  int32_t TwinCell;           // the matching segment in the neighbour cell, -1 none
  int32_t TwinSlot;
  uint8_t Valid;
  uint8_t Repaired;
  uint8_t Side;
  double Length;
  // The shaped cells whose pictures the edge was led to (kNoShapeId none); a join at a crossing
  // looks for one the two edges share.
  uint16_t IdA, IdB;
  TIntPoint Anchor;  // the end that stayed when it was first led
};

struct TCellTriangle {
  int32_t Cells[3];  // ascending when created; the other two corners once reduced
  TIntPoint Points[3];
  double CentreX, CentreY;  // the circumcentre
  int8_t LinkA, LinkB;      // neighbouring triangles of the same cell, -1 none
};

struct TCellRecord {
  TIntPoint SeedPoint;
  double CentreX, CentreY;
  TCellSegment Segments[kCellSegmentRoom];
  int32_t SegmentCount;
  TCellTriangle Triangles[kCellTriangleRoom];
  int32_t TriangleCount;
  int32_t PieceIndex;
};

// One edge of the triangulation while it grows: lower cell's point first.
struct TCellEdge {
  int32_t x1, y1, x2, y2;
  int32_t Lower, Higher;
  int32_t OpenSide;
};

// Work lists of the triangulation, kept between builds so that relaxation reuses them.
struct TCellBuilder {
  std::vector<TCellEdge> CellEdges;
  std::vector<uint64_t> EdgeKeys;  // open-addressing set of (lower, higher) pairs
  std::vector<int32_t> Bucket;     // seed points by grid square: start offsets, then indexes
  std::vector<int32_t> BucketItems;
  std::vector<TIntPoint> BucketPoints;  // the items' seed points, side by side with them
  // Tests every seed point for every edge instead of searching the grid squares: the plain
  // quadratic rule that the grid search must reproduce exactly.
  bool ExhaustiveApexSearch = false;
};

// Cell rectangles, piece rectangles, codes, empty neighbours and the shape pattern.
void LayoutCells(const TLevelRecord& level, TPieceRecord* pieces);

// Builds the cell polygons of n cells from their seed points. False (nothing usable) when no
// hull edge exists, when every seed point lies on one line, or when a cell would need more
// than its room of segments or triangles; the message is then kFirstEdgeFailedText or a
// capacity note.
bool BuildCells(TCellBuilder& builder, TCellRecord* cells, int32_t n, const TCutArea& area, std::string& message);
// The first steps of BuildCells: the Delaunay triangles of the seed points, grown from a hull
// edge, each listed in its three cells. False with the message as BuildCells gives it.
bool TriangulateSeedPoints(TCellBuilder& builder, TCellRecord* cells, int32_t n, std::string& message);

int32_t Orientation(TIntPoint a, TIntPoint b, TIntPoint c);
bool SegmentIntersection(double& x, double& y, bool inclusive, double x1, double y1, double x2, double y2, double x3,
                         double y3, double x4, double y4);
// The chord of the line through the two points across the cut area. False (points untouched)
// when the two points coincide or the line misses the area.
bool ClipLineToCutArea(const TCutArea& area, double& x1, double& y1, double& x2, double& y2);
void ExtendRayToCutArea(const TCutArea& area, double x1, double y1, double& x2, double& y2);
void OrderPoints(double& x1, double& y1, double& x2, double& y2);
void Bisector(double& x1, double& y1, double& x2, double& y2, double ax, double ay, double bx, double by);
bool AddCellSegment(const TCutArea& area, TCellRecord& cell, uint16_t id, double x1, double y1, double x2, double y2);
// The foot of the perpendicular from x onto the line p-q, and the distance.
void ProjectOnLine(TIntPoint p, TIntPoint q, TIntPoint x, double& distance, TIntPoint& foot);

// Lone pixels and notches along region boundaries take a neighbouring colour, row by row. The
// scan is shared out over helpers more threads (-1: the machine's spare cores); the result
// never depends on how many.
void RemoveFrameNotches(TDibImage& map, const TCutArea& area, int32_t helpers = -1);
// The first column from x (at least 1) on, up to last + 1, whose pixel differs from its left or
// right neighbour; rowBytes is how many bytes of the row may be read.
int32_t NextUnevenPixel(const uint8_t* row, int32_t x, int32_t last, size_t rowBytes);
// 0: a is white; 1: a white pixel found on the way to b (p); -1: none before b.
int32_t WalkToWhite(const TDibImage& map, TIntPoint a, TIntPoint b, TIntPoint& p);
