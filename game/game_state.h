#pragma once
#include <cstdint>
#include <vector>

#include "engine/emboss.h"
#include "engine/piece_record.h"
#include "foundation/dib_image.h"
#include "foundation/level_record.h"
#include "foundation/progress.h"
#include "foundation/random.h"
#include "foundation/skin_rect.h"
#include "foundation/skin_window.h"
#include "game/game_options.h"

// One entry of the drawing order: ascending is bottom to top, descending is hit-test order.
struct TPieceOrderEntry {
  int32_t Group;
  int32_t Index;
};

// The picture, the piece masks and the wood maps, one per quarter turn. Owned here.
struct TGameImages {
  TDibImage PictureImages[4];
  TDibImage PieceMasks[4];
  TEmbossMap EmbossMaps[4];

  TGameImages();
  ~TGameImages();
  TGameImages(const TGameImages&) = delete;
  TGameImages& operator=(const TGameImages&) = delete;
  void FreeAll();
};

// What play needs to know of a game window: which one it is and where its content shows.
// Field names follow the skinned window record so that one can be turned into the other.
struct TPieceView {
  int32_t Index = 0;  // 0 First Side, 1 Second Side, 2..5 pockets, 6 thumbnail
  TWindowStyle Style = kSkinStyleSide;
  TSkinRect Client{0, 0, -1, -1, 0, 0, {0, 0, -1, -1}};
  int32_t ScrollX = 0;
  int32_t ScrollY = 0;
};

// The sizes pieces are laid out in: the play field and the scrollable content of the sides.
struct TFieldArea {
  int32_t FieldW = 0;
  int32_t FieldH = 0;
  int32_t ContentW = 0;
  int32_t ContentH = 0;
};

// What play asks of the field around it. The field implements it; a game with no field (tools,
// file tests) has the detached host, which has nothing on screen to tell.
class TPlayHost {
 public:
  virtual void SetModified() = 0;
  virtual void CheckSolved() = 0;
  virtual void SelectionChanged(bool any) = 0;     // the Arrange command follows the selection
  virtual void RefreshWindow(int32_t index) = 0;   // a pocket's piece count, caption, content size
  virtual void ActivateWindow(int32_t index) = 0;  // highlight; a pocket comes to the front
  virtual void DragRedraw(int32_t mode) = 0;       // repaint both buffers for a drag of this mode
  virtual void PaintHeld() = 0;                    // restore the screen from the static buffer, paint held

 protected:
  ~TPlayHost() = default;
};
TPlayHost& DetachedPlayHost();

struct TPlayState {
  int32_t HeldPiece = -1;
  int32_t DragState = 0;                     // 0 idle, 1 holding, 2 rubber band
  int32_t DragOffsetX = 0, DragOffsetY = 0;  // held piece position minus the mouse point
  int32_t DragOffsetX2 = 0, DragOffsetY2 = 0;
  bool HasSelection = false;
  int32_t WeightGroup = -1;  // a piece whose group is anchored
  int32_t RedrawKind = 0;    // 0 none, 1 whole field, 2 small rectangle, 3 drag in progress
  TSkinRect DragRect{
      kUnsetEdge, kUnsetEdge, kUnsetEdge, kUnsetEdge, 0, 0, {kUnsetEdge, kUnsetEdge, kUnsetEdge, kUnsetEdge}};
  TSkinRect Band{0, 0, -1, -1, 0, 0, {0, 0, -1, -1}};  // content coordinates of the active window
};

struct TGameState {
  TLevelRecord GameLevel{};
  TLevelRecord CurrentLevel{};
  TLevelRecord DefaultLevel{};
  std::vector<TPieceRecord> Pieces;  // TotalTileNum + 1 records
  std::vector<TPieceOrderEntry> PieceOrder;
  TGameImages Images;
  TRandom Rng;
  TProgress Progress;
  TPlayState Play;
  TGameOptions GameOptions;
  TPlaySettings PlaySettings;
  TFieldArea Field;
  TPlayHost* Host = &DetachedPlayHost();  // the field binds itself
  bool GameLoaded = false;
};

// Live pieces: TotalTileNum, never more than the records that exist.
int32_t LivePieceCount(const TGameState& g);
// The frame piece (the last live record with a frame border), or -1.
int32_t FramePieceIndex(const TGameState& g);
void NotifyModified(TGameState& g);
