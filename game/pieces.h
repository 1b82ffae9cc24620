#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/skin_window.h"
#include "game/game_state.h"

// The box of a piece in the mask of rotation r, and storing it for the piece's own rotation.
TPieceBox PieceRotatedBounds(const TGameState& g, const TPieceRecord& piece, int32_t r);
void UpdatePieceRotation(TGameState& g, TPieceRecord& piece);

// What play reads of a skinned game window.
TPieceView PieceViewOf(const TSkinWindow& window);

// A field point in content coordinates of a window.
int32_t ContentX(const TPieceView& view, int32_t x);
int32_t ContentY(const TPieceView& view, int32_t y);

// The topmost piece of the window whose mask covers the field point, or -1.
int32_t PieceAtPoint(TGameState& g, const TPieceView& view, int32_t x, int32_t y);

// A new game: every live piece its own group on the First Side, with a random quarter turn
// when the level rotates (one draw per piece, the frame piece included).
void InitPiecesForPlay(TGameState& g);
// The frame piece centred on the sides' content, unrotated.
void PlaceFramePiece(TGameState& g);

bool IsInWeightGroup(const TGameState& g, int32_t piece);
bool IsInFrameGroup(const TGameState& g, int32_t piece);
// Raise the held group (selected false) or the selected groups (true) to the top.
void RaiseGroups(TGameState& g, bool selected);
void SendWeightGroupToBottom(TGameState& g);

void ClearSelection(TGameState& g, const TPieceView& view);
void RotateGroup(TGameState& g, const TPieceView& view, int32_t x, int32_t y, bool clockwise);
void StartDrag(TGameState& g, const TPieceView& view, int32_t x, int32_t y, bool withSelection);
// target: the window under the pointer when it differs from the active one, else null.
void MoveHeld(TGameState& g, const TPieceView& active, const TPieceView* target, int32_t x, int32_t y,
              bool selectionMode);
void MoveToOtherSide(TGameState& g, const TPieceView& view, int32_t x, int32_t y, bool selectionMode);

// The union of the boxes of the held group and the selected pieces, in field coordinates.
TSkinRect HeldPiecesRect(const TGameState& g, const TPieceView& view);

// A jigsaw that comes with the program (one of the names of its list) may not be deleted.
bool IsDistributedJigsaw(const std::vector<std::string>& distributed, const std::string& name);

struct TSolvedPercent {
  int32_t Groups;
  int32_t Percent;
};
TSolvedPercent SolvedPercent(TGameState& g, bool solved);
