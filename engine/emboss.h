#pragma once
#include <cstdint>
#include <vector>

#include "engine/piece_record.h"
#include "foundation/dib_image.h"

// Per-pixel wood data of one rotation, the size of its piece mask: the classes whose body or
// wood covers the pixel, and a 3-bit wood depth per class (class c in bits 3c..3c+2; 0 is the
// body, 1..wood width the distance of the wood). Empty while no wood style is set.
struct TEmbossMap {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint16_t> ClassBits;
  std::vector<uint32_t> Depths;

  bool Empty() const { return Width <= 0; }
  size_t At(int32_t x, int32_t y) const { return size_t(y) * size_t(Width) + size_t(x); }
  uint32_t Depth(int32_t x, int32_t y, int32_t patternClass) const {
    return (Depths[At(x, y)] >> (3 * patternClass)) & 7u;
  }
};

constexpr int32_t kFrameClass = 9;
constexpr int32_t kNoLight = 128;

// A piece's rectangle inside the mask of rotation r (whose size includes the 5-pixel margin).
struct TPieceBox {
  int32_t X, Y, W, H;
};
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
};

// PatternClass and ClassBit of every piece from its place in the grid (the frame piece class 9).
// Writes only records whose class changes, so that the rotations can be built side by side
// once the classes are set.
void AssignPatternClasses(const TEmbossJob& job);

// Fills map r (wood) and the light bytes of mask r for every piece. Sets PatternClass and
// ClassBit of every piece when a wood style is set; frees the map otherwise.
void BuildEmbossMap(const TEmbossJob& job, TDibImage& mask, TEmbossMap& map, int32_t r);
void FreeEmbossMap(TEmbossMap& map);
// Light byte back to 128 and byte 1 to 0, keeping the piece codes.
void ResetMaskChannels(TDibImage& mask);

// Clears the wood where piece p meets the given neighbours in map r: no wood over the body of
// a joined neighbour, and where two wood frames overlap only the shallower stays.
void ClearJoinedWood(TEmbossMap& map, const TDibImage& mask, TPieceRecord* pieces, int32_t p,
                     const std::vector<int32_t>& neighbours, int32_t r, int32_t woodWidth);

// The options dialog's sample: the piece is where the mask's byte 0 is 0. All three images
// have the same size; target is drawn over in place.
void DrawEmbossPreview(TDibImage& target, const TDibImage& mask, const TDibImage& picture,
                       int32_t woodColor, int32_t woodStyle, int32_t embossStyle);
