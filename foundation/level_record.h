#pragma once
#include <cstddef>
#include <cstdint>

#include "foundation/piece_styles.h"

// The parameters of one jigsaw game: 30 little-endian 32-bit words, stored whole in saved games.
struct TLevelRecord {
  int32_t GameSeed;
  int32_t MaskS;
  int32_t TileS;
  int32_t KnobS;
  int32_t HalfKnobS;
  int32_t TilePX;
  int32_t TilePY;
  int32_t TileNum;
  int32_t PicPX;
  int32_t PicPY;
  int32_t PicNum;
  int32_t TotalTileNum;
  int32_t ImageW;
  int32_t ImageH;
  int32_t FitImageW;
  int32_t FitImageH;
  int32_t JigsL;
  int32_t JigsT;
  int32_t JigsR;
  int32_t JigsB;
  int32_t Level;
  uint8_t Rotate;
  TBorderStyle BorderStyle;
  TShapeStyle ShapeStyle;
  uint8_t SpreadOut;
  uint8_t FitToScreen;
  uint8_t Unused22[3];
  int32_t SideNum;
  int32_t SideInd;
  int32_t JigTag;
  int32_t Unused26;
  int32_t SidePos[3];
};
static_assert(sizeof(TLevelRecord) == 120);
static_assert(offsetof(TLevelRecord, Level) == 80);
static_assert(offsetof(TLevelRecord, Rotate) == 84);
static_assert(offsetof(TLevelRecord, FitToScreen) == 88);
static_assert(offsetof(TLevelRecord, SideNum) == 92);
static_assert(offsetof(TLevelRecord, SidePos) == 108);
