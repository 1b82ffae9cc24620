#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/piece_record.h"
#include "foundation/dib_image.h"
#include "foundation/piece_styles.h"

constexpr int32_t kFrameClass = 9;
constexpr int32_t kNoLight = 128;
constexpr int32_t kMaskMargin = 5;

// A piece's rectangle inside the mask of rotation r (whose size includes the 5-pixel margin).
struct TPieceBox {
  int32_t X, Y, W, H;
};

// Neither the pictures nor the masks of the quarter turns are stored: each turn is read
// through the unturned image. A mask keeps its 5-pixel margin strips at the right and the
// bottom of every turn; a picture has none.
int32_t TurnedMaskWidth(const TDibImage& mask, int32_t r);
int32_t TurnedMaskHeight(const TDibImage& mask, int32_t r);
// Row y of turn r from column x on: the pixel (x, y) and the step in bytes to (x + 1, y).
// Columns from x + Inside on lie outside the image, or in a margin strip of a turn (code 0).
struct TTurnedRow {
  const uint8_t* At;
  intptr_t Step;
  int32_t Inside;
};
TTurnedRow TurnedImageRow(const TDibImage& image, int32_t margin, int32_t r, int32_t x, int32_t y);
TTurnedRow TurnedMaskRow(const TDibImage& mask, int32_t r, int32_t x, int32_t y);
uint8_t TurnedMaskCode(const TDibImage& mask, int32_t r, int32_t x, int32_t y);

// mask: the unturned mask.
TPieceBox PieceRotatedBounds(const TPieceRecord& piece, const TDibImage& mask, int32_t r);

int32_t WoodWidthForStyle(TWoodStyle woodStyle);  // 0, 3 or 5
int32_t ClampByte(int32_t v);

// The rectangles a piece draws of its turn's mask, relative to the top-left of its box: the box
// grown by the wood width, and for the frame piece (whose box is the whole picture) only its four
// bands. Returns how many.
constexpr int32_t kFrameBand = 20;
int32_t PieceDrawnParts(int32_t boxW, int32_t boxH, int32_t woodWidth, bool frame, TPieceBox parts[4]);

// What building the maps reads: the live pieces and the styles.
struct TEmbossJob {
  TPieceRecord* Pieces = nullptr;
  int32_t PieceCount = 0;  // live pieces (TotalTileNum)
  int32_t TilePX = 1;
  int32_t FramePiece = -1;  // index of the frame piece, -1 without a frame border
  TEmbossStyle EmbossStyle = TEmbossStyle::None;
  TWoodStyle WoodStyle = TWoodStyle::None;
  int32_t WoodWidth = 0;
};

// The light and the wood of one quarter turn, the size of that turn's mask. Per pixel: the
// light (128 none), the classes whose body or wood covers it, and a wood depth per class (0 is
// the body, 1..wood width the distance of the wood).
//
// Drawing reads a piece's look: one byte per pixel of what the piece draws, the light where the
// mask holds the piece's code and the piece's wood elsewhere (0 none, else depth + 1). A look is
// worked out the first time the piece is drawn in this turn and kept until the options change
// (the map is set up again) or the piece turns away (DropLook); a join of wood works out again,
// at once, the looks whose wood it changes. Drawing only looks bytes up.
class TEmbossMap {
 public:
  int32_t Width = 0;
  int32_t Height = 0;

  TEmbossMap();
  ~TEmbossMap();
  TEmbossMap(TEmbossMap&&) noexcept;
  TEmbossMap& operator=(TEmbossMap&&) noexcept;

  bool Empty() const { return Width <= 0; }
  bool HasLight() const { return Light_; }
  bool HasWood() const { return Wood_; }
  // What the whole map holds at a pixel, worked out when asked (the last 16 x 16 block asked
  // about is kept). Outside the map: no light, no classes.
  uint8_t Light(int32_t x, int32_t y) const;
  uint16_t ClassBits(int32_t x, int32_t y) const;
  uint32_t Depth(int32_t x, int32_t y, int32_t patternClass) const;

  // The part of the piece's look that holds (x, y): its bytes row by row, Area.W to a row. The
  // look is worked out first when the piece has none in this turn. Null where the piece draws
  // nothing.
  struct TLookPart {
    const uint8_t* Bytes;
    TPieceBox Area;
  };
  TLookPart LookPart(int32_t piece, int32_t x, int32_t y);
  bool HasLook(int32_t piece) const;
  // Works out the looks the pieces do not have yet, on up to `threads` threads: for a view
  // about to be painted.
  void BuildLooks(const std::vector<int32_t>& pieces, int32_t threads);
  // The piece is drawn in another turn now: its look here goes.
  void DropLook(int32_t piece);
  // The bytes the looks hold, and how many times since the map was set up a look was worked
  // out (whole, or again where a join changed it).
  size_t LookBytes() const { return LookBytes_; }
  uint64_t LooksBuilt() const { return LooksBuilt_; }

 private:
  friend void BuildEmbossMap(const TEmbossJob& job, const TDibImage& mask, TEmbossMap& map, int32_t r);
  friend void ClearJoinedWood(TEmbossMap& map, int32_t p, const std::vector<int32_t>& neighbours);

  struct TPiece {
    TPieceBox Box;   // in the turn's mask, clipped to it
    TPieceBox Near;  // unclipped, grown by the wood width: where its wood may lie
    uint8_t Code;
    int8_t Class;
  };
  struct TJoin {
    int32_t Piece;
    std::vector<int32_t> Neighbours;
    TPieceBox Reach;  // around every pixel where the piece's wood and a neighbour's both may lie
  };
  struct TScratch;
  struct TProbe;

  bool Holds(int32_t x, int32_t y) const;
  int32_t PartsOf(int32_t piece, TPieceBox parts[4]) const;
  size_t LookSize(int32_t piece) const;
  void WorkOut(const TPieceBox& area, int32_t code, int32_t patternClass, bool wood, TScratch& s) const;
  // All of the look, or only what lies in `only`.
  void WorkOutLight(const TPieceBox& area, int32_t code, TScratch& s) const;
  void WorkOutWood(const TPieceBox& area, int32_t patternClass, TScratch& s) const;
  void WorkOutLook(int32_t piece, uint8_t* look, TScratch& s, const TPieceBox* only = nullptr) const;
  void JoinInArea(const TJoin& join, uint32_t* wood, const TPieceBox& area) const;
  void Rebuild(int32_t piece, TScratch& s, const TPieceBox* only = nullptr);
  const TProbe& Probe(int32_t x, int32_t y) const;
  template <typename F>
  void ForCells(const TPieceBox& area, F f) const;

  TDibImage Mask_{};  // the unturned mask, not owned
  int32_t R_ = 0;
  TEmbossStyle EmbossStyle_ = TEmbossStyle::None;
  int32_t WoodWidth_ = 0;
  int32_t FramePiece_ = -1;
  bool Light_ = false;
  bool Wood_ = false;
  std::vector<TPiece> Pieces_;
  std::vector<TJoin> Joins_;
  // The pieces whose box or wood meets each cell of kCell x kCell pixels, in index order: cell
  // c's run from CellStart_[c] to CellStart_[c + 1] of CellPieces_.
  int32_t CellsX_ = 0;
  int32_t CellsY_ = 0;
  std::vector<int32_t> CellStart_;
  std::vector<int32_t> CellPieces_;
  // The joins, in order, that meet each block of kJoinBlock x kJoinBlock cells.
  int32_t BlocksX_ = 0;
  std::vector<std::vector<int32_t>> BlockJoins_;
  // Each piece's look in this turn, null when it has none.
  std::vector<std::unique_ptr<uint8_t[]>> Looks_;
  size_t LookBytes_ = 0;
  uint64_t LooksBuilt_ = 0;
  std::unique_ptr<TScratch> Scratch_;  // for looks worked out one at a time
  mutable std::unique_ptr<TProbe> Probe_;
};

// PatternClass and ClassBit of every piece from its place in the grid (the frame piece class 9).
void AssignPatternClasses(const TEmbossJob& job);

// Sets up map r (light and wood) of the unturned mask for every piece. Sets PatternClass and
// ClassBit of every piece when a wood style is set. With neither style the map stays empty.
// The joined neighbours of the job's groups are joined in the map (a loaded game).
void BuildEmbossMap(const TEmbossJob& job, const TDibImage& mask, TEmbossMap& map, int32_t r);
void FreeEmbossMap(TEmbossMap& map);
// Light byte back to 128 and byte 1 to 0, keeping the piece codes.
void ResetMaskChannels(TDibImage& mask);

// Clears the wood where piece p meets the given neighbours: no wood over the body of a joined
// neighbour, and where two wood frames overlap only the shallower stays.
void ClearJoinedWood(TEmbossMap& map, int32_t p, const std::vector<int32_t>& neighbours);

// The options dialog's sample: the piece is where the mask's byte 0 is 0. All three images
// have the same size; target is drawn over in place.
void DrawEmbossPreview(TDibImage& target, const TDibImage& mask, const TDibImage& picture, int32_t woodColor,
                       TWoodStyle woodStyle, TEmbossStyle embossStyle);
