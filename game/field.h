#pragma once
#include <cstdint>
#include <string>

#include "foundation/dib_image.h"
#include "foundation/skin_rect.h"
#include "foundation/skin_window.h"
#include "game/game_state.h"

// The play field: one image that shows the seven game windows and the magnifier, with the
// pieces, the star of a join and the weight pin drawn into it. Qt-free; the main window shows
// ScreenBuffer and forwards the mouse here.

constexpr uint32_t kFieldGrey = 0x989898;
constexpr int32_t kLensSize = 490;
constexpr uint32_t kLensKey = 0xFF00FF;
constexpr int32_t kStarFrames = 6;
constexpr int32_t kStarFrameMs = 18;
constexpr int32_t kStarSize = 23;

// Mouse buttons and the shift byte as the handlers take them.
enum : int32_t { kMouseLeft = 0, kMouseRight = 1, kMouseMiddle = 2 };
enum : uint8_t {
  kShiftShift = 1,
  kShiftAlt = 2,
  kShiftCtrl = 4,
  kShiftLeftDown = 8,
  kShiftRightDown = 16,
  kShiftMiddleDown = 32,
  kShiftDouble = 64,
};

// Redraw kinds (g.Play.RedrawKind).
enum : int32_t { kRedrawNone = 0, kRedrawField = 1, kRedrawSmall = 2, kRedrawDrag = 3 };

// What PaintField paints.
enum : int32_t {
  kPaintAll = 0,
  kPaintStatic = 1,  // all but the held group and the selection
  kPaintHeld = 2,
  kPaintAllButActive = 3,
  kPaintActiveOnly = 4,
  kPaintNoBand = 5,
  kPaintBand = 6,
  kPaintFromStatic = 100,
};

struct TGlassState {
  int32_t Zoom = 2;
  double A = 120, B = 120;  // half axes of the lens
  TDibHolder Lens;          // 24-bit, kLensSize square
  TDibHolder LensMask;      // 0 outside the lens, 255 inside, the rim in its own grey
};

struct TStarState {
  int32_t X = 0, Y = 0;  // field coordinates of the sprite's top left
  int32_t Window = 0;
  int32_t Frame = -1;  // -1: nothing shown
  int32_t Table[kStarFrames] = {0, 1, 2, 3, 4, -1};
  TSkinRect Rect{0, 0, -1, -1, 0, 0, {0, 0, -1, -1}};
  TDibHolder Sheet;  // 24-bit sprites 23 x 23 at (24 * s, 0), white transparent
};

struct TWeightPinState {
  bool Dragging = false;
  int32_t PointerX = 0, PointerY = 0;
  int32_t PinX = 0, PinY = 0;
  int32_t Window = 0;
  TDibHolder Picture;  // 32-bit with alpha
};

// What the field asks of the main window, which implements all of it.
class TFieldHost {
 public:
  // The field image changed in (x, y, w, h); the window repaints that part now.
  virtual void InvalidateFieldRect(int32_t x, int32_t y, int32_t w, int32_t h) = 0;
  virtual void Wait(int32_t ms) = 0;  // between star frames
  virtual void SetModified() = 0;
  virtual void SaveImageEnabled(bool enabled) = 0;  // the solved flag changed
  virtual int32_t ShowFinish() = 0;                 // the finish dialog; 1 asks to save the solved picture
  virtual void SaveSolvedImage() = 0;
  virtual void ShowPocket(int32_t pocket, bool show) = 0;  // the pocket command, 2..5
  virtual void WindowHidden(int32_t index) = 0;            // a side or the thumbnail closed by its button
  virtual void PocketChanged(int32_t pocket) = 0;          // a pocket's piece count: caption, toolbar face
  virtual void MainWindowSize(int32_t& width, int32_t& height) = 0;
  virtual void SetMainWindowSize(int32_t width, int32_t height) = 0;  // the grip of a side
  virtual void GrabCursor(bool on) = 0;                               // the gripping hand while the view is pulled
  virtual void ThumbnailResized() = 0;                                // rebuild the thumbnail picture
  virtual void ToolbarUnhot() = 0;
  virtual void WeightModeChanged(bool on) = 0;       // menu check, caption and hint, toolbar face
  virtual void ActiveSideChanged(int32_t side) = 0;  // menu checks and toolbar buttons
  // A picture code 10..17 loaded for the field's size; false when it cannot be had.
  virtual bool LoadBackgroundPicture(int32_t code) = 0;
  virtual void SelectionChanged(bool any) = 0;  // the Arrange command follows the selection
  virtual void UpdateWindowMenuCaptions() = 0;  // the highlighted window changed
  virtual void SetFieldCursor(TSkinCursor cursor) = 0;

 protected:
  ~TFieldHost() = default;
};

// The desktop as the main window reports it.
struct TWorkArea {
  int32_t Width = 0, Height = 0;  // the work area
  int32_t CaptionHeight = 0;
  int32_t FrameWidth = 0, FrameHeight = 0;  // sizing frame
  int32_t ScreenWidth = 0, ScreenHeight = 0;
};

// The field is the play host of its game and the host of its windows: what it cannot do
// itself it hands to the main window.
struct TField final : TPlayHost, TSkinWindowHost {
  TGameState& Game;
  TSkinWindows& Windows;
  TFieldHost& Host;

  TWorkArea Work;
  TSkinRect FieldRect{0, 0, -1, -1, 0, 0, {0, 0, -1, -1}};
  TDibHolder StaticBuffer;                // everything but what is being dragged
  TDibHolder ScreenBuffer;                // what the main window shows
  uint32_t FieldBackground = kFieldGrey;  // a colour, or a picture code 10..17
  TSkinRect SmallRect{0, 0, -1, -1, 0, 0, {0, 0, -1, -1}};
  int32_t ActiveSide = 0;
  const TDibImage* ThumbPicture = nullptr;  // the thumbnail's picture, sized to its client

  TGlassState Glass;
  TStarState Star;
  TWeightPinState Pin;
  TDibHolder FrameSkin;  // the sheets the windows paint from, unless the main window gave its own
  TDibHolder GlassSkin;
  TSkinRect Changed{0, 0, -1, -1, 0, 0, {0, 0, -1, -1}};  // what the running handler has shown

  bool Solved = false;      // cleared when a game is opened
  bool FormsReady = false;  // the handlers do nothing before
  bool Busy = false;        // a long operation runs: the handlers return at once
  bool InHandler = false;   // the autosave waits while set
  bool SoundPlay = true;    // the options dialog's Sound setting
  bool ShowJoin = true;     // its ShowConj setting
  std::string ProgramDir;   // where "set.wav" and "win.wav" are, with a trailing slash

  // Input.
  bool ClickPending = false;  // click-to-drag: the click that picked a piece up
  int32_t ClickX = 0, ClickY = 0;
  TSkinWindow* HoverWindow = nullptr;
  int32_t HoverButton = -1;
  int32_t WheelRest = 0;  // wheel turn not yet a whole step (a notch is 120)

  TField(TGameState& game, TSkinWindows& windows, TFieldHost& host);
  ~TField();
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  // TPlayHost
  void SetModified() override;
  void CheckSolved() override;
  void SelectionChanged(bool any) override;
  void RefreshWindow(int32_t index) override;
  void ActivateWindow(int32_t index) override;
  void DragRedraw(int32_t mode) override;
  void PaintHeld() override;
  // TSkinWindowHost
  TSkinWindow* ActiveWindow() override;
  void UpdateWindowMenuCaptions() override;
  void SetFieldCursor(TSkinCursor cursor) override;
  bool PointInLens(int32_t x, int32_t y) override;
};

// Makes the lens and loads the pin and star pictures and (when the windows have none) the frame and
// magnifier skins from the program's resources.
void InitField(TField& f);

TSkinWindow* ActiveWindow(TField& f);  // the highlighted window, or null
// The highlighted side or pocket; else the visible side.
TSkinWindow& ActiveWindowRecord(TField& f);

// --- Geometry ---------------------------------------------------------------------------------

struct TFieldLayout {
  int32_t ToolbarHeight = 0;
  bool FullScreen = false;
  bool Maximized = false;
  int32_t MainWidth = 0, MainHeight = 0;  // the main window (full screen)
};
// Recomputes the field size (Game.Field.FieldW, FieldH) and FieldRect; the buffers grow whenever they are smaller than
// the screen or the field (never shrink), filled with the field background.
void UpdateFieldSize(TField& f, const TFieldLayout& layout);
// The field of a window that fills the work area with its frame, caption and toolbar: what a
// picture is fitted to, whatever the window's size or mode is now.
void WindowedFieldSize(const TWorkArea& wa, int32_t toolbarHeight, int32_t& width, int32_t& height);
// The largest field of the mode, which the background picture covers so that a resize needs no
// new picture: outside full screen the work area less caption and toolbar; in full screen the
// field with twice the window frame.
void LargestFieldSize(const TField& f, bool fullScreen, int32_t toolbarHeight, int32_t& width, int32_t& height);
void SetActiveSide(TField& f, int32_t side);
void KeepWindowsInField(TField& f);
// A window's content size from the pieces in it (at most its maximum client size).
void UpdateWindowContentSize(TField& f, TSkinWindow& w);
// Scroll tracking of the current window operation for the point; the sides share it.
void ScrollWindowBy(TField& f, TSkinWindow& w, int32_t x, int32_t y);

// --- Painting ---------------------------------------------------------------------------------

void PaintField(TField& f, TDibImage& target, const TSkinRect& clip, int32_t kind);
void DragRedraw(TField& f, int32_t mode);
void RefreshDrag(TField& f);
// Paints what RedrawKind asks for, then the overlays; returns the changed rectangle (empty
// when nothing was pending) after handing it to InvalidateFieldRect.
TSkinRect Redraw(TField& f);
// The selection band, tinted halfway to light grey.
void TintBandRect(TField& f, TDibImage& target, const TSkinRect& clip);

// --- Magnifier, star and weight pin -----------------------------------------------------------

bool MapGlassPoint(const TField& f, int32_t& x, int32_t& y, bool map);
void DrawGlassFrame(TField& f);  // after the glass is laid out or resized
void DrawGlass(TField& f);
void SetGlassZoom(TField& f, int32_t zoom);
void DrawStar(TField& f);
void StartWeightPin(TField& f, int32_t x, int32_t y);
void MoveWeightPin(TField& f, int32_t x, int32_t y, TSkinWindow* window);
void DropWeightPin(TField& f);
void DrawWeightPin(TField& f);
void ApplyWeightMode(TField& f);

// --- Snapping and the solved check ------------------------------------------------------------

// round(half-knob margin * StuckKoef / 10), half to even.
int32_t SnapThreshold(const TGameState& g);
struct TSnapOffset {
  int32_t X, Y;
};
// Where piece p lies relative to neighbour n when both sit in place at rotation r.
TSnapOffset ExpectedOffset(const TPieceRecord& p, const TPieceRecord& n, int32_t r);
void SnapDroppedGroup(TField& f);
void CheckSolved(TField& f);

// --- Input --------------------------------------------------------------------------------------

TSkinWindow* WindowUnderPoint(TField& f, int32_t x, int32_t y);
void FieldMouseDown(TField& f, int32_t button, uint8_t shift, int32_t x, bool synthetic, int32_t y);
void FieldMouseMove(TField& f, uint8_t shift, int32_t x, int32_t y);
void FieldMouseUp(TField& f, int32_t button, uint8_t shift, int32_t x, int32_t y);

// The main window's handlers: nothing before the forms are ready or while busy; every event
// ends with Redraw, whose changed rectangle is returned.
TSkinRect I_FieldMouseDown(TField& f, int32_t button, uint8_t shift, int32_t x, int32_t y);
TSkinRect I_FieldMouseMove(TField& f, uint8_t shift, int32_t x, int32_t y);
TSkinRect I_FieldMouseUp(TField& f, int32_t button, uint8_t shift, int32_t x, int32_t y);
// delta: the wheel's angle in eighths of a degree, > 0 up; each whole notch of 120 turns once.
// True when the wheel was handled (always, as the game treats it).
bool I_FieldMouseWheel(TField& f, int32_t delta, int32_t x, int32_t y, TSkinRect* changed = nullptr);
