#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "engine/piece_record.h"
#include "foundation/dib_image.h"

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

int32_t WoodWidthForStyle(int32_t woodStyle);  // 0, 3 or 5
int32_t ClampByte(int32_t v);

// What building the maps reads: the live pieces and the styles.
struct TEmbossJob {
  TPieceRecord* Pieces = nullptr;
  int32_t PieceCount = 0;  // live pieces (TotalTileNum)
  int32_t TilePX = 1;
  int32_t FramePiece = -1;  // index of the frame piece, -1 without a frame border
  int32_t EmbossStyle = 0;
  int32_t WoodStyle = 0;
  int32_t WoodWidth = 0;
  size_t TileBudget = SIZE_MAX;  // bytes of built tiles a map keeps (see SetTileBudget)
};

// The light and the wood of one quarter turn, the size of that turn's mask. Per pixel: the
// light (128 none), the classes whose body or wood covers it, and a wood depth per class (0 is
// the body, 1..wood width the distance of the wood). Worked out tile by tile when a pixel of
// the tile is first read, so that only what is drawn is ever built, and dropped again beyond a
// budget; every join of wood is kept in order and applied to a tile each time it is built.
class TEmbossMap {
 public:
  int32_t Width = 0;
  int32_t Height = 0;

  bool Empty() const { return Width <= 0; }
  bool HasLight() const { return Light_; }
  bool HasWood() const { return Wood_; }
  // Outside the map: no light, no classes.
  uint8_t Light(int32_t x, int32_t y);
  uint16_t ClassBits(int32_t x, int32_t y);
  uint32_t Depth(int32_t x, int32_t y, int32_t patternClass);

  // For drawing: row y of the tile holding (x, y), from x on, Count pixels long. Light is null
  // without a light style, Wood without a wood style; a wood word holds 3 bits per class c at
  // bits 3c: 0 when the class does not cover the pixel, else its depth + 1.
  struct TSpan {
    const uint8_t* Light;
    const uint32_t* Wood;
    int32_t Count;
  };
  TSpan Span(int32_t x, int32_t y);

  // Builds every tile that meets one of the areas now, on up to `threads` threads: for a
  // field about to be painted whole.
  void BuildTiles(const std::vector<TPieceBox>& areas, int32_t threads);

  // What the map keeps of its built tiles, in bytes. Beyond it, tiles not read since the last
  // paint began are dropped, oldest first, and built again when next read; a paint never loses
  // what it has read, so one view may hold more.
  void SetTileBudget(size_t bytes) { Budget_ = bytes; }
  // A paint of the field begins: what it reads from now on is kept.
  void NextPaint() { ++Paint_; }
  size_t TileBytes() const { return Bytes_; }

 private:
  friend void BuildEmbossMap(const TEmbossJob& job, const TDibImage& mask, TEmbossMap& map, int32_t r);
  friend void ClearJoinedWood(TEmbossMap& map, int32_t p, const std::vector<int32_t>& neighbours);

  struct TPiece {
    TPieceBox Box;  // in the turn's mask, clipped to it
    TPieceBox Near;  // unclipped, grown by the wood width: where its wood may lie
    uint8_t Code;
    int8_t Class;
  };
  struct TJoin {
    int32_t Piece;
    std::vector<int32_t> Neighbours;
  };
  // A built tile holds its light bytes, then its wood words (each only with its style).
  struct TTile {
    std::unique_ptr<uint32_t[]> Data;
    uint32_t Paint = 0;  // the paint that last read it
  };

  struct TTileSource;

  bool Holds(int32_t x, int32_t y) const;
  TTile& Built(int32_t x, int32_t y);
  void ReadSource(TTileSource& source, const TPieceBox& area) const;
  void BuildTile(TTile& tile, int32_t tx, int32_t ty) const;
  void BuildTile(TTile& tile, int32_t tx, int32_t ty, const TTileSource& source) const;
  void JoinInTile(const TJoin& join, uint32_t* wood, int32_t tx, int32_t ty) const;
  void Keep(int32_t index);
  void DropOldTiles();
  uint8_t* TileLight(const TTile& t) const;
  uint32_t* TileWood(const TTile& t) const;
  template <typename F>
  void ForTiles(const TPieceBox& b, F f);

  TDibImage Mask_{};  // the unturned mask, not owned
  int32_t R_ = 0;
  int32_t EmbossStyle_ = 0;
  int32_t WoodWidth_ = 0;
  bool Light_ = false;
  bool Wood_ = false;
  std::vector<TPiece> Pieces_;
  std::vector<TJoin> Joins_;
  int32_t TilesX_ = 0;
  int32_t TilesY_ = 0;
  std::vector<TTile> Tiles_;
  // The pieces whose box or wood meets each tile, in index order: tile t's run from
  // TileStart_[t] to TileStart_[t + 1] of TilePieces_.
  std::vector<int32_t> TileStart_;
  std::vector<int32_t> TilePieces_;
  // The joins, in order, that meet each block of kJoinBlock x kJoinBlock tiles.
  int32_t BlocksX_ = 0;
  std::vector<std::vector<int32_t>> BlockJoins_;
  // Built tiles, oldest first, and the bytes they hold. DroppedNone_: the paint in which a
  // look found every kept tile read by the paint itself.
  std::deque<int32_t> Kept_;
  size_t Bytes_ = 0;
  uint32_t DroppedNone_ = 0;
  size_t Budget_ = SIZE_MAX;
  uint32_t Paint_ = 1;
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
void DrawEmbossPreview(TDibImage& target, const TDibImage& mask, const TDibImage& picture,
                       int32_t woodColor, int32_t woodStyle, int32_t embossStyle);
