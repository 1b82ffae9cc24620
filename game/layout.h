#pragma once
#include <cstdint>
#include <vector>

#include "game/game_state.h"

// Places the free pieces (each alone in its group, the frame piece never) of a window: a
// shuffled grid when spreadOut is set, else random places.
void SpreadPieces(TGameState& g, int32_t window, bool spreadOut);

// Pulls groups that lie out of view back in; true when something moved.
bool BringGroupsIntoView(TGameState& g, const TPieceView& view, bool strict);
// The strict pass over every side and pocket among the views.
void BringAllGroupsIntoView(TGameState& g, const std::vector<TPieceView>& views);
// Keeps the groups' relative places when the field changes size (g.Field is the new size).
// With content, a group that lay inside the old content size is kept inside the new one.
struct TContentChange {
  int32_t OldW, OldH, NewW, NewH;
};
void ScaleGroupPositions(TGameState& g, int32_t window, int32_t oldWidth, int32_t oldHeight,
                         const TContentChange* content = nullptr);
// Selects the groups inside g.Play.Band (all false) or every group of the view (all true).
void SelectInBand(TGameState& g, const TPieceView& view, bool all);

// The grid of the initial spread for n pieces: never fewer than one column or one row.
struct TSpreadGrid {
  int32_t Cols;
  int32_t Rows;
};
TSpreadGrid SpreadGrid(int32_t n, int32_t fieldW, int32_t fieldH);

// The grid of the Arrange command for n pieces on a w x h area: at least one column.
TSpreadGrid ArrangeGrid(int32_t n, int32_t areaW, int32_t areaH);
// Lays the selected pieces that are alone in their groups (never the frame) out in a shuffled
// grid from the top-left of the selection, on an area of areaW x areaH. False when there was
// no such piece: then nothing moved and nothing was drawn from the generator.
// arranged, when given, receives the pieces laid out.
bool ArrangeSelectedPieces(TGameState& g, int32_t areaW, int32_t areaH, std::vector<int32_t>* arranged = nullptr);
// Moves the pieces into the area (0, 0, areaW, areaH) by their boxes: together as far as the
// block allows, so that their places to each other stay; then each one that still sticks out.
void MovePiecesIntoArea(TGameState& g, const std::vector<int32_t>& pieces, int32_t areaW, int32_t areaH);
