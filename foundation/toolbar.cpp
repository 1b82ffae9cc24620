#include "foundation/toolbar.h"

#include <cstring>

#include "foundation/dib_ops.h"

namespace {

struct TButtonSpec {
  int32_t Index;
  int32_t Column;
  const char* Name;
  const char* MenuItem;
};

// Creation order: 22 comes before 21.
constexpr TButtonSpec kButtons[kToolbarButtonCount] = {
    {0, 0, "BI_Open", "MI_FileOpen"},
    {1, 1, "BI_Save", "MI_FileSave"},
    {2, 2, "BI_Download", "MI_FileDownload"},
    {3, 3, "BI_BkgAll", "MI_GameBkgAll"},
    {4, 4, "BI_BkgCur", "MI_GameBkgCur"},
    {5, 5, "BI_Win1", "MI_GameWin1"},
    {6, 6, "BI_Win2", "MI_GameWin2"},
    {7, 7, "BI_Thumb", "MI_GameThumb"},
    {8, 8, "BI_Info", "MI_GameInfo"},
    {9, 9, "BI_Pocket1", "MI_PocketsPocket1"},
    {10, 9, "BI_Pocket2", "MI_PocketsPocket2"},
    {11, 9, "BI_Pocket3", "MI_PocketsPocket3"},
    {12, 9, "BI_Pocket4", "MI_PocketsPocket4"},
    {13, 11, "BI_SelectAll", "MI_GameSelectAll"},
    {14, 12, "BI_Arrange", "MI_GameArrange"},
    {15, 13, "BI_Glass", "MI_GameGlass"},
    {16, 14, "BI_Weight", "MI_GameWeight"},
    {17, 16, "BI_Options", "MI_Options"},
    {18, 17, "BI_Help", "MI_HelpCont"},
    {19, 18, "BI_App", "MI_Menu"},
    {20, 19, "BI_Min", "MI_Min"},
    {22, 20, "BI_Close", "MI_Exit"},
    {21, 21, "BI_FullScreen", "MI_FullScreen"},
};

// The row from the left; the flag marks a small gap before the button.
struct TRowPlace {
  int32_t Index;
  bool SmallGapBefore;
};
constexpr TRowPlace kRow[] = {
    {19, false}, {0, false}, {1, true},   {2, false},  {3, false},  {4, true},   {7, false},
    {8, false},  {5, false}, {6, true},   {9, false},  {10, true},  {11, true},  {12, true},
    {13, false}, {14, true}, {15, false}, {16, false}, {21, false}, {17, false}, {18, false},
};
constexpr int32_t kRowCount = sizeof kRow / sizeof kRow[0];
constexpr int32_t kRowLeft = 4;

bool ValidIndex(int32_t i) { return i >= 0 && i < kToolbarButtonCount; }

// A row of end pieces and repeated middle pieces: the left piece at 0, middle pieces from
// `middleFrom` on, `middleCount` of them, and the right piece flush with the right edge.
void PaintStrip(TDibImage& target, const TDibImage& skin, const TSkinStripPieces& p, int32_t capWidth,
                int32_t middleFrom, int32_t middleCount) {
  for (int32_t k = 0; k < middleCount; ++k)
    BlitDib(target, middleFrom + k * p.PieceWidth, 0, p.PieceWidth, p.Height, skin, p.MiddleX, p.Y);
  BlitDib(target, 0, 0, capWidth, p.Height, skin, p.LeftX, p.Y);
  BlitDib(target, target.Width - capWidth, 0, capWidth, p.Height, skin, p.RightX, p.Y);
}

// A progress strip: end pieces and as many middle pieces as fit between them. Widths below
// the two end pieces give no image.
void PaintProgressStrip(TDibImage& target, const TDibImage& skin, const TSkinStripPieces& p, int32_t width) {
  FreeDib(target);
  if (width < 2 * p.PieceWidth) return;
  if (!CreateDib24(target, width, p.Height)) return;
  PaintStrip(target, skin, p, p.PieceWidth, p.PieceWidth, width / p.PieceWidth - 1);
}

}  // namespace

void InitToolbar(TToolbar& t) {
  std::memset(&t, 0, sizeof t);
  t.PressedToolbarButton = -1;
  for (const TButtonSpec& b : kButtons) CreateToolbarButton(t, b.Index, b.Column, b.Name, b.MenuItem);
}

void FreeToolbar(TToolbar& t) {
  for (TToolbarButton& b : t.ToolbarButtons) FreeDib(b.Face);
  FreeDib(t.ToolbarSkin);
  FreeDib(t.ToolbarImage);
  FreeDib(t.ProgressBkg);
  FreeDib(t.ProgressBarEmpty);
  FreeDib(t.ProgressBar);
}

void CreateToolbarButton(TToolbar& t, int32_t index, int32_t column, const char* name, const char* menuItem) {
  if (!ValidIndex(index)) return;
  TToolbarButton& b = t.ToolbarButtons[index];
  FreeDib(b.Face);
  b.Name = name;
  b.MenuItem = menuItem;
  b.SkinColumn = column;
  b.Down = false;
  b.Enabled = true;
  b.Left = 0;
  b.Top = 0;
  b.Width = kToolbarFaceSize;
  b.Height = kToolbarFaceSize;
  b.Visible = true;
}

void ToolbarGaps(int32_t width, bool fullScreen, int32_t& bigGap, int32_t& smallGap) {
  if (width < 641) {
    bigGap = 10;
    smallGap = 1;
  } else if (width < 801) {
    bigGap = fullScreen ? 8 : 12;
    smallGap = 2;
  } else if (width < 1025) {
    bigGap = fullScreen ? 20 : 24;
    smallGap = 8;
  } else {
    bigGap = 26;
    smallGap = 10;
  }
}

void LayoutToolbar(TToolbar& t, int32_t width, bool fullScreen) {
  for (int32_t i = 0; i < kToolbarButtonCount; ++i) {
    TToolbarButton& b = t.ToolbarButtons[i];
    b.Top = kToolbarButtonTop;
    b.Height = kToolbarFaceSize;
    b.Width = (i == kToolbarMin || i == kToolbarClose) ? kToolbarWindowButtonWidth : kToolbarFaceSize;
    b.Visible = true;
  }
  int32_t bigGap, smallGap;
  ToolbarGaps(width, fullScreen, bigGap, smallGap);

  // The row may use everything left of `limit`: the window, or in full screen the space
  // before the minimise and close buttons at its right end.
  int32_t limit = width;
  TToolbarButton& close = t.ToolbarButtons[kToolbarClose];
  TToolbarButton& min = t.ToolbarButtons[kToolbarMin];
  if (fullScreen) {
    close.Left = width - 30;
    min.Left = close.Left - kToolbarWindowButtonWidth - smallGap;
    close.Visible = close.Left >= 0;
    min.Visible = close.Visible && min.Left >= 0;
    if (min.Visible)
      limit = min.Left - smallGap;
    else if (close.Visible)
      limit = close.Left - smallGap;
  } else {
    close.Visible = false;
    min.Visible = false;
  }

  int32_t buttons = 0, bigCount = 0, smallCount = 0;
  for (int32_t k = 0; k < kRowCount; ++k) {
    buttons += t.ToolbarButtons[kRow[k].Index].Width;
    if (k > 0) (kRow[k].SmallGapBefore ? smallCount : bigCount)++;
  }
  const int32_t gaps = bigCount * bigGap + smallCount * smallGap;
  const int32_t room = limit - kRowLeft - buttons;
  if (room < gaps) {
    // Too narrow for the preferred gaps: shrink both in proportion, to nothing at worst.
    const int32_t share = room > 0 ? room : 0;
    bigGap = bigGap * share / gaps;
    smallGap = smallGap * share / gaps;
  }

  // The row only grows to the right: once a button passes the limit, every later one does.
  int32_t left = kRowLeft;
  for (int32_t k = 0; k < kRowCount; ++k) {
    TToolbarButton& b = t.ToolbarButtons[kRow[k].Index];
    if (k > 0) left += kRow[k].SmallGapBefore ? smallGap : bigGap;
    b.Left = left;
    if (left + b.Width > limit) b.Visible = false;
    left += b.Width;
  }
}

void ToolbarFaceOrigin(const TToolbarButton& b, bool pressed, int32_t& x, int32_t& y) {
  x = 30 * b.SkinColumn + 1;
  if (!b.Enabled)
    y = kToolbarFaceDisabledY;
  else if (pressed || b.Down)
    y = kToolbarFaceDownY;
  else
    y = kToolbarFaceNormalY;
}

void PaintToolbarButton(TToolbar& t, int32_t index, bool pressed) {
  if (!ValidIndex(index)) return;
  TToolbarButton& b = t.ToolbarButtons[index];
  if (b.Face.Width <= 0) return;
  int32_t x, y;
  ToolbarFaceOrigin(b, pressed, x, y);
  if (b.SkinColumn < 0 || b.SkinColumn >= kToolbarFaceColumns) return;
  BlitDib(b.Face, 0, 0, kToolbarFaceSize, kToolbarFaceSize, t.ToolbarSkin, x, y);
}

void SetToolbarButtonEnabled(TToolbar& t, int32_t index, bool enabled) {
  if (!ValidIndex(index)) return;
  t.ToolbarButtons[index].Enabled = enabled;
  PaintToolbarButton(t, index, false);
}

void SetToolbarButtonDown(TToolbar& t, int32_t index, bool down) {
  if (!ValidIndex(index)) return;
  t.ToolbarButtons[index].Down = down;
  PaintToolbarButton(t, index, down);
}

int32_t ReleaseToolbarButton(TToolbar& t) {
  const int32_t i = t.PressedToolbarButton;
  if (!ValidIndex(i)) {
    t.PressedToolbarButton = -1;
    return -1;
  }
  if (t.ToolbarButtons[i].Down) return -1;
  PaintToolbarButton(t, i, false);
  t.PressedToolbarButton = -1;
  return i;
}

void PaintToolbarSkin(TToolbar& t, const TDibImage& frameSkin, int32_t screenWidth, int32_t toolbarHeight,
                      int32_t progressWidth) {
  FreeDib(t.ToolbarImage);
  if (screenWidth > 0 && toolbarHeight > 0 && CreateDib24(t.ToolbarImage, screenWidth, toolbarHeight)) {
    const TSkinStripPieces& p = kToolbarStrip;
    PaintStrip(t.ToolbarImage, frameSkin, p, kToolbarCapWidth, 0, screenWidth / p.PieceWidth + 1);
  }

  for (int32_t i = 0; i < kToolbarButtonCount; ++i) {
    TToolbarButton& b = t.ToolbarButtons[i];
    if (CreateDib24(b.Face, kToolbarFaceSize, kToolbarFaceSize)) PaintToolbarButton(t, i, b.Down);
  }

  PaintProgressStrip(t.ProgressBkg, frameSkin, kProgressPanelStrip, progressWidth);
  PaintProgressStrip(t.ProgressBarEmpty, frameSkin, kProgressEmptyStrip, progressWidth - 70);
  PaintProgressStrip(t.ProgressBar, frameSkin, kProgressFullStrip, progressWidth - 70);
}
