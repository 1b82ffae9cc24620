#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "foundation/dib_image.h"
#include "foundation/skin_rect.h"

// The skinned sub-windows of the play field: two sides, four pockets, the thumbnail and the
// magnifier are records drawn into the field image, not platform windows.

constexpr int32_t kSkinScrollBarSize = 17;
constexpr int32_t kSkinButtonCount = 9;
constexpr int32_t kGameWindowCount = 7;
constexpr int32_t kCaptionImageWidth = 300;

// Frame styles: side, pocket, thumbnail and the magnifier's glass.
enum class TWindowStyle : uint8_t {
  kSkinStyleSide = 0,
  kSkinStylePocket = 1,
  kSkinStyleThumbnail = 2,
  kSkinStyleGlass = 3,
};
using enum TWindowStyle;

// Button indexes in a window.
enum : int32_t {
  kSkinBtnCaption = 0,  // caption button, or the magnifier's close button
  kSkinBtnZoom3 = 1,
  kSkinBtnZoom2 = 2,
  kSkinBtnLeft = 3,
  kSkinBtnRight = 4,
  kSkinBtnHorzThumb = 5,
  kSkinBtnUp = 6,
  kSkinBtnDown = 7,
  kSkinBtnVertThumb = 8,
};

// Hit codes.
enum : uint8_t {
  kHitNone = 0,
  kHitMove = 1,
  kHitLeft = 10,
  kHitTop = 11,
  kHitRight = 12,
  kHitBottom = 13,
  kHitTopLeft = 14,
  kHitTopRight = 15,
  kHitBottomLeft = 16,
  kHitBottomRight = 17,
  kHitHorzThumb = 20,
  kHitScrollLeft = 21,
  kHitScrollRight = 22,
  kHitVertThumb = 23,
  kHitScrollUp = 24,
  kHitScrollDown = 25,
  kHitCaptionButton = 26,
  kHitZoom3 = 27,
  kHitZoom2 = 28,
  kHitPan = 29,
};

// SetupSkinButton flags.
enum : uint32_t { kSkinFiveSprites = 1, kSkinHorzThumb = 2, kSkinVertThumb = 4 };

struct TSkinButton {
  int32_t Index = 0;
  int32_t SpriteWidth = 0, SpriteHeight = 0;
  TSkinRect Bounds{};  // on the field; cleared when the button is not placed
  // In the skin sheet: 0 normal, 1 hot, 2 normal in a highlighted window, 3 hot there, 4 pressed.
  std::array<TSkinRect, 5> Sprites{};
  TSkinRect Anchors{};  // offsets from the window's edges; kUnsetEdge = not anchored on that side
  bool Visible = false;
  bool WindowHighlighted = false;
  bool Hot = false;
  bool Pressed = false;
  bool HorzThumb = false;  // a scroll thumb, painted as two caps and a stretched middle
  bool VertThumb = false;
  bool FiveSprites = false;
  uint8_t CommandId = 0;  // the hit code the button answers with
};

struct TSkinWindow {
  uint8_t Index = 0;
  TWindowStyle Style = kSkinStyleSide;
  TSkinRect Outer{};
  TSkinRect Client{};  // inside border and caption, less the visible scroll bars
  int32_t CaptionHeight = 0;
  int32_t BorderWidth = 0;
  int32_t MinClientWidth = 0, MinClientHeight = 0;
  int32_t MaxClientWidth = 0, MaxClientHeight = 0;  // 0: no maximum; with KeepAspect also the ratio
  int32_t OuterMinWidth = 0, OuterMinHeight = 0;
  int32_t OuterMaxWidth = 0, OuterMaxHeight = 0;
  int32_t FrameWidth = 0, FrameHeight = 0;
  bool Scrollable = false;
  int32_t ScrollX = 0, ScrollY = 0;
  int32_t ContentWidth = 0, ContentHeight = 0;  // width 0: no content and no bars
  TSkinRect HorzTrack{}, VertTrack{};
  TSkinRect CornerBox{};
  TSkinRect Grip{};
  TSkinRect LeftEdge{}, TopEdge{}, RightEdge{}, BottomEdge{};
  TSkinRect TopLeftCorner{}, BottomLeftCorner{}, BottomRightCorner{};
  bool HorzScrollVisible = false, VertScrollVisible = false;
  TSkinRect CaptionRect{};
  int32_t GlassTileSize = 0;
  int32_t GlassMargin = 0;                      // how far the game keeps the magnifier on the field
  std::array<TSkinRect, 4> GlassTileSprites{};  // in the magnifier skin
  std::array<TSkinRect, 4> GlassTiles{};        // top-left, top-right, bottom-left, bottom-right
  std::array<TSkinButton, kSkinButtonCount> Buttons{};
  int32_t HotButton = -1;  // index of the button under the mouse, -1 for none
  bool Visible = false;
  bool Highlighted = false;
  bool DragByClient = false;
  bool Resizable = false;
  std::u16string Caption;
  std::u16string WindowName;  // stored only
  TDibImage CaptionImage{};   // 32-bit, the rendered caption as alpha-shaped ink; owned
  TSkinRect TextBounds{};     // the inked part of the caption image
  bool BackgroundDrawn = false;
  uint32_t Background = 0;         // a colour, or 10..17 for one of the background pictures
  void* WindowMenuItem = nullptr;  // the game's menu item for the window; never read here
  int32_t ToolbarButtonIndex = 0;
  int32_t PieceCount = 0;
  bool KeepAspect = false;

  TSkinWindow() = default;
  ~TSkinWindow();  // frees the caption image
  TSkinWindow(const TSkinWindow&) = delete;
  TSkinWindow& operator=(const TSkinWindow&) = delete;
};

struct TSkinDragState {
  TSkinWindow* Window = nullptr;  // moved, resized or scrolled
  int32_t HotButton = -1;         // the window's hot button at the press
  uint8_t HitCode = 0;
  int32_t GrabX = 0, GrabY = 0;
  int32_t HoverHitCode = 0;
};

enum class TSkinCursor { Default, SizeWE, SizeNS, SizeNWSE, SizeNESW };

// What the frames ask of the field they lie on. The field implements it; windows on no field
// (tools, frame tests) have the detached host: nothing highlighted, no lens, no cursor.
class TSkinWindowHost {
 public:
  virtual TSkinWindow* ActiveWindow() = 0;      // the window to highlight when another hides
  virtual void UpdateWindowMenuCaptions() = 0;  // after the highlight changed
  virtual void SetFieldCursor(TSkinCursor cursor) = 0;
  virtual bool PointInLens(int32_t x, int32_t y) = 0;  // the magnifier's lens test

 protected:
  ~TSkinWindowHost() = default;
};
TSkinWindowHost& DetachedSkinWindowHost();

// The seven game windows, their z-order and the magnifier, with what painting reads.
struct TSkinWindows {
  std::array<TSkinWindow, kGameWindowCount> GameWindows;         // 0, 1 sides; 2..5 pockets; 6 thumbnail
  std::array<TSkinWindow*, kGameWindowCount> SkinWindowOrder{};  // place 0 bottom, 6 top
  TSkinWindow* HighlightedSkinWindow = nullptr;
  TSkinWindow GlassWindow;
  TSkinDragState SkinDrag;
  TSkinCursor FieldCursor = TSkinCursor::Default;
  const TDibImage* FrameSkin = nullptr;               // 390 x 170 frame sheet
  const TDibImage* GlassSkin = nullptr;               // 290 x 189 magnifier sheet
  const TDibImage* BackgroundPicture = nullptr;       // the field-sized background picture, if any
  TSkinWindowHost* Host = &DetachedSkinWindowHost();  // the field binds itself

  TSkinWindows() = default;
  TSkinWindows(const TSkinWindows&) = delete;
  TSkinWindows& operator=(const TSkinWindows&) = delete;
};

// --- Records, buttons and layout -----------------------------------------------------------

void InitSkinWindow(TSkinWindow& window, int32_t x, int32_t y, int32_t width, int32_t height, TWindowStyle style);
void InitSkinButton(TSkinButton& button);
void SetupSkinButton(TSkinButton& button, int32_t sheetX, int32_t sheetY, int32_t width, int32_t height,
                     uint32_t flags);
void AnchorSkinButton(TSkinButton& button, const TSkinRect& windowRect);
// Clamps a size request to the limits (and the aspect of a KeepAspect window). The sizes are
// client sizes when clientSizes is set, else outer sizes.
void ConstrainSkinWindowSize(const TSkinWindow& window, int32_t& width, int32_t& height, bool clientSizes,
                             bool heightFromWidth);
void ResizeSkinWindow(TSkinWindow& window, bool useGiven, int32_t clientWidth = 0, int32_t clientHeight = 0);
void RelayoutSkinWindow(TSkinWindow& window);
void LayoutSkinWindow(TSkinWindow& window);
void UpdateSkinWindowLimits(TSkinWindow& window);
void UpdateSkinScrollButtons(TSkinWindow& window);
void CopySkinWindowLayout(TSkinWindow& target, const TSkinWindow& source);
void SetSkinWindowText(TSkinWindow& window, std::u16string_view text);
void SetSkinWindowCaption(TSkinWindow& window, std::u16string_view text);
void FreeSkinWindowCaption(TSkinWindow& window);
void ResetSkinButtons(TSkinWindow& window);
void SetSkinButtonsHighlight(TSkinWindow& window, bool highlighted);

// --- The game windows ----------------------------------------------------------------------

void SetSkinWindowVisible(TSkinWindows& windows, TSkinWindow& window, bool visible);
void HighlightSkinWindow(TSkinWindows& windows, TSkinWindow* window);
void InitGameWindows(TSkinWindows& windows);
void BringSkinWindowToFront(TSkinWindows& windows, TSkinWindow& window);
// The windows as the main window creates them: sides, pockets, thumbnail, then the magnifier
// and the numbering. Pocket captions come from the language file and are left to the game.
void SetupGameWindows(TSkinWindows& windows);
void SetupGlassWindow(TSkinWindow& glass);

// --- Painting, hit testing and scrolling ---------------------------------------------------

void PaintSkinWindow(const TSkinWindows& windows, TDibImage& target, const TSkinRect& clip, const TSkinWindow& window);
void PaintSkinButton(TDibImage& target, const TDibImage& sheet, const TSkinRect& clip, const TSkinButton& button);
bool SkinButtonHit(const TSkinButton& button, int32_t x, int32_t y);
bool PointOnSkinFrame(const TSkinWindows& windows, const TSkinWindow& window, int32_t x, int32_t y);
bool PointOnSkinScrollBar(const TSkinWindow& window, int32_t x, int32_t y);
uint8_t SkinWindowHitTest(TSkinWindows& windows, TSkinWindow& window, int32_t x, int32_t y, bool press);
void TrackSkinScroll(TSkinWindows& windows, TSkinWindow& window, int32_t x, int32_t y);
TSkinCursor SkinHitCursor(int32_t hitCode);
// Tells the game the field's cursor, only when it changes.
void SetSkinFieldCursor(TSkinWindows& windows, TSkinCursor cursor);
