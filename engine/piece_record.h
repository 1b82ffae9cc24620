#pragma once
#include <cstddef>
#include <cstdint>

// One piece of the open game. 112 bytes, little-endian, stored whole in saved games: every
// offset is part of that file format, including the fields play does not use.
struct TPieceRecord {
  int32_t X;  // left of the piece's rotated box, window content coordinates
  int32_t Y;
  int32_t Group;     // group id, also the stacking order (higher drawn later)
  uint8_t Window;    // 0 First Side, 1 Second Side, 2..5 pockets
  uint8_t Rotation;  // quarter turns clockwise
  uint8_t Selected;
  uint8_t Unused15;
  int32_t CellX, CellY, CellW, CellH;      // cell rectangle in picture coordinates
  int32_t PieceX, PieceY, PieceW, PieceH;  // cell rectangle widened by the knob margin
  int32_t BoxX, BoxY, BoxW, BoxH;          // piece rectangle inside the mask of the current rotation
  int32_t PatternClass;                    // grid cut writes the cell's x1 here first
  uint16_t ClassBit;                       // grid cut writes the cell's y1 here (low half) first
  uint8_t Unused70[2];
  int32_t CellX2, CellY2;  // grid cut: inclusive right/bottom corner
  int32_t SeedX, SeedY;    // cell cut: the cell's seed point
  uint8_t ShapeFlag;
  uint8_t Unused89;
  int16_t Neighbours[9];
  uint8_t Code;
  uint8_t Code2;
  uint8_t Unused110[2];
};
static_assert(sizeof(TPieceRecord) == 112);
static_assert(offsetof(TPieceRecord, Window) == 12);
static_assert(offsetof(TPieceRecord, CellX) == 16);
static_assert(offsetof(TPieceRecord, PieceX) == 32);
static_assert(offsetof(TPieceRecord, BoxX) == 48);
static_assert(offsetof(TPieceRecord, PatternClass) == 64);
static_assert(offsetof(TPieceRecord, ClassBit) == 68);
static_assert(offsetof(TPieceRecord, CellX2) == 72);
static_assert(offsetof(TPieceRecord, SeedX) == 80);
static_assert(offsetof(TPieceRecord, ShapeFlag) == 88);
static_assert(offsetof(TPieceRecord, Neighbours) == 90);
static_assert(offsetof(TPieceRecord, Code) == 108);
static_assert(offsetof(TPieceRecord, Code2) == 109);

constexpr int16_t kNoNeighbour = -1;
