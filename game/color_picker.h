#pragma once
#include <cstdint>

#include "foundation/dib_image.h"
#include "foundation/skin_rect.h"
#include "game/background_pictures.h"

// The colour picker's logic: the palette, the default colours, the background-picture cells and
// the gamma field (a hue square or a hue circle), drawn into plain image buffers that the
// dialog only shows. Colour codes are 0x00BBGGRR colours or background picture codes 10..17.

constexpr int32_t kPaletteColorCount = 48;
constexpr int32_t kMaxDefaultColors = 8;
constexpr int32_t kGammaCircle = 0;
constexpr int32_t kGammaSquare = 1;

// Targets of the live preview.
constexpr int32_t kPickWoodColor = -2;
constexpr int32_t kPickAllWindows = -1;

extern const int32_t PaletteColors[kPaletteColorCount];

struct TGammaSegment {
  int32_t R0, G0, B0, dR, dG, dB;
};
extern const TGammaSegment GammaSegments[6];

// Sizes of the picker's images.
constexpr int32_t kPaletteImageWidth = 232, kPaletteImageHeight = 176;
constexpr int32_t kBkgPicsImageWidth = 544, kBkgPicsImageHeight = 62;
constexpr int32_t kDefColImageHeight = 36;
constexpr int32_t kGammaFieldSize = 300;

// Segment s (0..5) at step t (0..255), as 0x00BBGGRR.
uint32_t GammaSegmentColor(int32_t s, int32_t t);
// The square: hue across, white at the top, the pure hue in row `half`, black towards the bottom.
uint32_t GammaSquareColor(int32_t x, int32_t y, int32_t size, int32_t half);
// The circle of radius r centred at (r, r): white centre, hue by the angle from the top,
// black towards the rim. False for points at a rounded distance of r or more.
bool GammaCircleColor(int32_t x, int32_t y, int32_t r, uint32_t& color);

// What the picker's live preview reaches: the options dialog's wood colour ...
class TWoodColorHost {
 public:
  virtual void SetWoodColor(int32_t color) = 0;  // the swatch and the effects preview

 protected:
  ~TWoodColorHost() = default;
};
// ... or the game windows' backgrounds (the main window).
class TBackgroundPickHost {
 public:
  // A picture code 10..17 loaded for the windows; false when it cannot be had.
  virtual bool LoadBackgroundPicture(int32_t code) = 0;
  virtual void SetWindowBackground(int32_t window, int32_t value) = 0;  // windows 0..5
  virtual void SetFieldBackground(int32_t value) = 0;                   // the view state's lBkg
  virtual void RedrawBackgrounds() = 0;

 protected:
  ~TBackgroundPickHost() = default;
};

struct TColorPicker {
  // Set by the caller before the dialog is shown; PickedColor is the result.
  int32_t PickedColor = 0;
  int32_t GammaMode = kGammaSquare;
  int32_t PickTarget = kPickWoodColor;
  int32_t DefaultColors[kMaxDefaultColors] = {-1, -1, -1, -1, -1, -1, -1, -1};
  bool ShowBkgPics = false;

  int32_t GammaSize = kGammaFieldSize;
  int32_t GammaHalf = kGammaFieldSize / 2;
  uint32_t BackColor = 0xF0F0F0;  // the ground of every image
  int32_t PaletteIndex = -1;
  int32_t BkgPictureIndex = -1;
  int32_t DefaultColorIndex = -1;
  int32_t DefaultColorCount = 0;

  TSkinRect PaletteCellRects[kPaletteColorCount];
  TSkinRect DefaultColorRects[kMaxDefaultColors];
  TSkinRect BkgPictureRects[kBackgroundPictureCount];

  TDibHolder Pal, DefCol, BkgPics, Gamma, StoreGamma, SelCol, PointColor;
  bool SelColVisible = true;
  bool PointColorVisible = true;

  const TBackgroundButtons* Buttons = nullptr;  // may be null: empty cells
  // The preview's target, set by the setup below (the one that matches PickTarget).
  TWoodColorHost* WoodHost = nullptr;
  TBackgroundPickHost* BackgroundHost = nullptr;
};

// The three callers' settings and the target their previews reach.
void SetupWoodColorPicker(TColorPicker& p, int32_t swatchColor, TWoodColorHost& host);
void SetupAllWindowsPicker(TColorPicker& p, int32_t fieldBackground, TBackgroundPickHost& host);
void SetupWindowPicker(TColorPicker& p, int32_t windowBackground, int32_t window, TBackgroundPickHost& host);

// Where the dialog's controls go (client coordinates; Right and Bottom exclusive).
struct TPickerBox {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  int32_t Right() const { return Left + Width; }
  int32_t Bottom() const { return Top + Height; }
};
struct TColorPickerLayout {
  TPickerBox L_PalCap, I_Pal, L_GammaCap, I_Gamma, B_GammaCircle, B_GammaSquare;
  TPickerBox L_DefColCap, I_DefCol, L_SelColCap, I_SelCol, I_PointColor;
  TPickerBox L_BkgPicsCap, I_BkgPics, B_OK, B_Cancel;
  bool DefColShown = false;
  int32_t ClientWidth = 0, ClientHeight = 0;
};
// Sizes the controls bring: the captions' sizes, the speed buttons' and the OK/Cancel buttons'.
struct TPickerControlSizes {
  int32_t LabelWidth[5] = {};  // L_PalCap, L_GammaCap, L_DefColCap, L_SelColCap, L_BkgPicsCap
  int32_t LabelHeight = 13;
  int32_t SpeedWidth = 23, SpeedHeight = 22;
  int32_t ButtonWidth = 75, ButtonHeight = 25;
};

// Activation: cell rectangles, the default-colour count, the layout, blank images, the first
// drawing of everything (no preview is applied).
TColorPickerLayout ActivateColorPicker(TColorPicker& p, const TPickerControlSizes& sizes);

void DrawPalette(TColorPicker& p);
void RenderGamma(TColorPicker& p);
// The point of the gamma field nearest the colour (each channel within 5, the smallest sum of
// differences, the first one on a tie, rows from the top); false when there is none.
bool FindColorInGamma(const TColorPicker& p, int32_t color, int32_t& x, int32_t& y);
// The clean field with a 5 x 5 inverted outline round the picked colour, where it is found.
void ShowGammaMarker(TColorPicker& p);
// The selected colour shown and marked; with apply, the target previews it.
void ApplyPickedColor(TColorPicker& p, bool apply);
void RefreshPicker(TColorPicker& p, bool apply);

// The first cell holding the point (edges inclusive), -1 for none.
int32_t PickerCellAt(const TSkinRect* rects, int32_t count, int32_t x, int32_t y);
// Input. Each picks what lies under the point and previews it; false when nothing changed.
bool PaletteMouseDown(TColorPicker& p, int32_t x, int32_t y);
bool DefColMouseDown(TColorPicker& p, int32_t x, int32_t y);
bool BkgPicsMouseDown(TColorPicker& p, int32_t x, int32_t y);
bool GammaMouseDown(TColorPicker& p, int32_t x, int32_t y);
// The colour under a gamma point in the current mode; false where there is none.
bool GammaPointColor(const TColorPicker& p, int32_t x, int32_t y, uint32_t& color);
// Hover over the gamma field: the point swatch is shown, filled with the point's colour.
void GammaMouseMove(TColorPicker& p, int32_t x, int32_t y);
void SetGammaMode(TColorPicker& p, int32_t mode);
