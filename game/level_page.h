#pragma once
#include <cstdint>
#include <optional>

#include "foundation/dib_image.h"
#include "foundation/level_record.h"
#include "foundation/level_table.h"

// The level page of the browser without its window: the player's choices of piece size,
// shape, border, mix, rotation and fit-to-screen, written at once into the record of the game
// about to be opened and into the default record that the settings file keeps.

constexpr int32_t kMaxPieceCount = 4000;
constexpr int32_t kShapeCount = int32_t(kShapeStyleCount);
constexpr int32_t kBorderCount = int32_t(kLastBorderStyle) + 1;
constexpr int32_t kMixCount = 2;

enum TSelectedKind : uint8_t { kSelectedNone = 0, kSelectedJigsaw = 1, kSelectedGame = 2 };

// The piece preview's cell: a piece of size 128 fills it.
constexpr int32_t kPreviewCellW = 164;
constexpr int32_t kPreviewCellH = 168;

struct TLevelPage {
  uint8_t SelectedKind = kSelectedNone;
  int32_t ShapeIndex = 0;
  int32_t BorderIndex = 0;
  int32_t MixIndex = 0;
  bool FitToScreenFlag = false;
  bool RotateFlag = false;
  int32_t Position = 0;  // SB_PieceSize, 0..13
  TLevelTable LevelTable{};
};

// Every control of the page from a record: the level table for its picture, the level, the
// toggles, border, shape and mix.
void ApplyLevelRecord(TLevelPage& page, const TLevelRecord& record);

// For a jigsaw, the current record's grid for its level (fitted picture when fit-to-screen is
// on; main pieces only: the cut sets the final count). True when the game can be opened: at
// least one piece and no more than 4000.
bool UpdatePieceCount(TLevelPage& page, TLevelRecord& current);

// Piece size of the scroll bar's level, for the preview.
int32_t PreviewPieceSize(const TLevelPage& page);

// The choice handlers. For a saved game only the page's own field changes. Those that change
// the piece count return the new enabled state of OK; the others return nothing.
std::optional<bool> ChooseShape(TLevelPage& page, TLevelRecord& current, TLevelRecord& defaults, int32_t shape);
std::optional<bool> ChooseBorder(TLevelPage& page, TLevelRecord& current, TLevelRecord& defaults, int32_t border);
void ChooseMix(TLevelPage& page, TLevelRecord& current, TLevelRecord& defaults, int32_t mix);
void ToggleRotation(TLevelPage& page, TLevelRecord& current, TLevelRecord& defaults);
std::optional<bool> ToggleFitToScreen(TLevelPage& page, TLevelRecord& current, TLevelRecord& defaults);
std::optional<bool> ChooseLevel(TLevelPage& page, TLevelRecord& current, TLevelRecord& defaults, int32_t level);

// Copies the upper half of a 24-bit strip over its lower half and tints the lower half
// towards tint, leaving pixels of the key colour alone (the greyed faces).
void MakeGreyedHalf(TDibImage& strip, uint32_t tint, uint32_t key);

// One bevelled piece of a shape, centred in the 24-bit target on the background colour:
// the shape's outline (white inside, cells of 164 x 168 at x = 165 * shape + 1 of masks)
// filled with the texture. A size of 0 or less leaves only the background.
void DrawShapePreview(TDibImage& target, int32_t size, int32_t shape, const TDibImage& masks, const TDibImage& texture,
                      uint32_t background);
