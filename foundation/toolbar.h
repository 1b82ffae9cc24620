#pragma once
#include <cstdint>

#include "foundation/dib_image.h"

// The main window's image toolbar: 23 buttons, each showing one 29 x 29 face of the face
// sheet, laid out in one row on the toolbar panel. The records hold everything the main window
// needs to show them: where each button's control sits, whether it is shown, and its face.

constexpr int32_t kToolbarButtonCount = 23;
constexpr int32_t kToolbarFaceSize = 29;
constexpr int32_t kToolbarFaceColumns = 22;
constexpr int32_t kToolbarSheetWidth = 661;
constexpr int32_t kToolbarSheetHeight = 91;
constexpr int32_t kToolbarButtonTop = 2;
constexpr int32_t kToolbarWindowButtonWidth = 25;  // minimise and close
constexpr int32_t kToolbarTileHeight = 35;
constexpr int32_t kProgressPanelHeight = 100;
constexpr int32_t kProgressBarLeft = 35;
constexpr int32_t kProgressBarTop = 56;
constexpr int32_t kProgressBarHeight = 20;

// Buttons the code refers to by index.
enum : int32_t {
  kToolbarOpen = 0,
  kToolbarPocket1 = 9,
  kToolbarArrange = 14,
  kToolbarWeight = 16,
  kToolbarApp = 19,
  kToolbarMin = 20,
  kToolbarFullScreen = 21,
  kToolbarClose = 22,
};

// Face rows of the sheet: normal, down, disabled.
constexpr int32_t kToolbarFaceNormalY = 1;
constexpr int32_t kToolbarFaceDownY = 31;
constexpr int32_t kToolbarFaceDisabledY = 61;

struct TToolbarButton {
  const char* Name;      // the control's name, "BI_Open"
  const char* MenuItem;  // the menu item it clicks, "MI_FileOpen"
  int32_t SkinColumn;
  bool Down;  // latched
  bool Enabled;
  // The control on the toolbar panel.
  int32_t Left, Top, Width, Height;
  bool Visible;
  TDibImage Face;  // the control's own 29 x 29 bitmap
};

struct TToolbar {
  TToolbarButton ToolbarButtons[kToolbarButtonCount];
  int32_t PressedToolbarButton;  // the button showing its down face under the mouse, -1 none
  TDibImage ToolbarSkin;         // the face sheet (I_ToolbarSkin), filled by its loader
  TDibImage ToolbarImage;        // background of the toolbar panel (I_Toolbar)
  TDibImage ProgressBkg;         // I_ProgressBkg
  TDibImage ProgressBarEmpty;    // I_ProgressBarEmpty
  TDibImage ProgressBar;         // I_ProgressBar
};

// Zeroes the record and creates the 23 buttons (not down, enabled) in their creation order.
void InitToolbar(TToolbar& t);
void FreeToolbar(TToolbar& t);

void CreateToolbarButton(TToolbar& t, int32_t index, int32_t column, const char* name, const char* menuItem);

// The preferred gaps between buttons for a reference width (client width, or the whole window
// width in full screen).
void ToolbarGaps(int32_t width, bool fullScreen, int32_t& bigGap, int32_t& smallGap);

// Sizes and places the controls. The row keeps the preferred gaps when it fits; on a narrower
// window the gaps shrink, and buttons that still do not fit are hidden, so no two visible
// buttons overlap and none sticks out of the window.
void LayoutToolbar(TToolbar& t, int32_t width, bool fullScreen);

// The face rectangle's top-left in the sheet for a button's current state.
void ToolbarFaceOrigin(const TToolbarButton& b, bool pressed, int32_t& x, int32_t& y);
void PaintToolbarButton(TToolbar& t, int32_t index, bool pressed);
void SetToolbarButtonEnabled(TToolbar& t, int32_t index, bool enabled);
void SetToolbarButtonDown(TToolbar& t, int32_t index, bool down);
// Returns the button that was painted back to normal (the caller repaints its control), or -1.
int32_t ReleaseToolbarButton(TToolbar& t);

// Paints the toolbar, progress panel and progress bar backgrounds from the frame skin, and
// gives every button a fresh face bitmap painted in its state. A size too small for the
// skin's end pieces gives an empty image (Width 0) rather than a broken one.
void PaintToolbarSkin(TToolbar& t, const TDibImage& frameSkin, int32_t screenWidth, int32_t toolbarHeight,
                      int32_t progressWidth);

// The skin regions the backgrounds are built from (frame skin coordinates).
struct TSkinStripPieces {
  int32_t LeftX, MiddleX, RightX, Y, PieceWidth, Height;
};
constexpr TSkinStripPieces kToolbarStrip = {308, 318, 368, 115, 50, 35};  // caps are 10 wide
constexpr TSkinStripPieces kProgressPanelStrip = {308, 318, 328, 1, 10, 100};
constexpr TSkinStripPieces kProgressEmptyStrip = {340, 350, 360, 22, 10, 20};
constexpr TSkinStripPieces kProgressFullStrip = {340, 350, 360, 1, 10, 20};
constexpr int32_t kToolbarCapWidth = 10;
