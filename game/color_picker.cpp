#include "game/color_picker.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "foundation/dib_ops.h"
#include "foundation/numeric.h"

const int32_t PaletteColors[kPaletteColorCount] = {
    0x800080, 0xA000A0, 0xC000C0, 0xE000E0, 0x508000, 0x60A000, 0x80C000, 0x8FE000, 0x800050, 0xA00060,
    0xC00080, 0xE00090, 0x008000, 0x00A000, 0x00C000, 0x00E000, 0x800000, 0xA00000, 0xC00000, 0xE00000,
    0x008080, 0x00A0A0, 0x00C0C0, 0x00E0E0, 0x805000, 0xA06000, 0xC08000, 0xE09000, 0x005080, 0x0060A0,
    0x0080C0, 0x008FE0, 0x808000, 0xA0A000, 0xC0C000, 0xE0E000, 0x000080, 0x0000A0, 0x0000C0, 0x0000E0,
    0x000000, 0x404040, 0x606060, 0x808080, 0x989898, 0xACACAC, 0xC0C0C0, 0xFFFFFF,
};

const TGammaSegment GammaSegments[6] = {
    {255, 0, 0, 0, 0, 1},     // red to magenta
    {255, 0, 255, -1, 0, 0},  // magenta to blue
    {0, 0, 255, 0, 1, 0},     // blue to cyan
    {0, 255, 255, 0, 0, -1},  // cyan to green
    {0, 255, 0, 1, 0, 0},     // green to yellow
    {255, 255, 0, 0, -1, 0},  // yellow to red
};

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kDarkCellMarker = 0x00FFFF;  // yellow: black would vanish round dark cells
constexpr uint32_t kPointColorStart = 0x008000;
constexpr uint32_t kEmptyButton = 0x989898;

uint32_t Rgb(int32_t r, int32_t g, int32_t b) { return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16); }

// Towards white above the middle, towards black below it; both by whole-number steps.
void Shade(int32_t c[3], int32_t pos, int32_t mid) {
  for (int32_t i = 0; i < 3; ++i) {
    if (pos > mid)
      c[i] = c[i] - c[i] * (pos - mid) / mid;
    else if (pos < mid)
      c[i] = c[i] + (255 - c[i]) * (mid - pos) / mid;
  }
}

void FillImage(TDibImage& d, uint32_t color) {
  if (d.Width > 0) FillDibRect(d, 0, 0, d.Width, d.Height, color);
}

void MarkCell(TDibImage& d, const TSkinRect& r, uint32_t marker) {
  FillDibRect(d, r.Left - 3, r.Top - 3, r.Width + 6, r.Height + 6, marker);
}

void FillCell(TDibImage& d, const TSkinRect& r, uint32_t color) {
  FillDibRect(d, r.Left, r.Top, r.Width, r.Height, color);
}

bool InCircle(const TColorPicker& p, int32_t x, int32_t y) {
  const int64_t dx = x - p.GammaHalf, dy = y - p.GammaHalf;
  return Round(std::sqrt((long double)(dx * dx + dy * dy))) < p.GammaHalf;
}

void ShowSelectedColor(TColorPicker& p) {
  FillImage(*p.SelCol, uint32_t(p.PickedColor) & 0xFFFFFF);
  ShowGammaMarker(p);
}

}  // namespace

uint32_t GammaSegmentColor(int32_t s, int32_t t) {
  const TGammaSegment& g = GammaSegments[s];
  return Rgb(g.R0 + g.dR * t, g.G0 + g.dG * t, g.B0 + g.dB * t);
}

uint32_t GammaSquareColor(int32_t x, int32_t y, int32_t size, int32_t half) {
  const int32_t s = IntMin(6 * x / size, 5);
  const int32_t t = ((6 * x - s * size) * 255) / size;
  const uint32_t hue = GammaSegmentColor(s, t);
  int32_t c[3] = {int32_t(hue & 0xFF), int32_t((hue >> 8) & 0xFF), int32_t((hue >> 16) & 0xFF)};
  Shade(c, y, half);
  return Rgb(c[0], c[1], c[2]);
}

bool GammaCircleColor(int32_t x, int32_t y, int32_t r, uint32_t& color) {
  const int64_t dx = x - r, dy = y - r;
  const int32_t d = Round(std::sqrt((long double)(dx * dx + dy * dy)));
  if (d >= r) return false;
  if (d == 0 && dx == 0 && dy == 0) {
    color = 0xFFFFFF;
    return true;
  }
  const long double pi = std::numbers::pi_v<long double>;
  long double a = VertexAngle({r, 0}, {r, r}, {x, y});
  if (x < r) a = 2 * pi - a;
  int32_t hue = Round(a * 180 / pi);
  if (hue == 360) hue = 0;
  const int32_t s = hue * 6 / 360;
  const int32_t t = ((hue - s * 360 / 6) * 1530) / 360;
  const uint32_t base = GammaSegmentColor(s, t);
  int32_t c[3] = {int32_t(base & 0xFF), int32_t((base >> 8) & 0xFF), int32_t((base >> 16) & 0xFF)};
  Shade(c, d, r / 2);
  color = Rgb(c[0], c[1], c[2]);
  return true;
}

void SetupWoodColorPicker(TColorPicker& p, int32_t swatchColor, TWoodColorHost& host) {
  p.PickedColor = swatchColor;
  p.GammaMode = kGammaSquare;
  for (int32_t& c : p.DefaultColors) c = -1;
  p.DefaultColors[0] = 0x49687A;
  p.DefaultColors[1] = 0x92ADBE;
  p.ShowBkgPics = false;
  p.PickTarget = kPickWoodColor;
  p.WoodHost = &host;
  p.BackgroundHost = nullptr;
}

void SetupAllWindowsPicker(TColorPicker& p, int32_t fieldBackground, TBackgroundPickHost& host) {
  p.PickedColor = fieldBackground;
  p.GammaMode = kGammaSquare;
  for (int32_t& c : p.DefaultColors) c = -1;
  p.DefaultColors[0] = kBackgroundGrey;
  p.ShowBkgPics = true;
  p.PickTarget = kPickAllWindows;
  p.WoodHost = nullptr;
  p.BackgroundHost = &host;
}

void SetupWindowPicker(TColorPicker& p, int32_t windowBackground, int32_t window, TBackgroundPickHost& host) {
  SetupAllWindowsPicker(p, windowBackground, host);
  p.ShowBkgPics = false;
  p.PickTarget = window;
}

TColorPickerLayout ActivateColorPicker(TColorPicker& p, const TPickerControlSizes& sizes) {
  TColorPickerLayout l;
  const int32_t capH = sizes.LabelHeight;
  // 1. The palette.
  for (int32_t i = 0; i < kPaletteColorCount; ++i)
    SetSkinRectBounds(p.PaletteCellRects[i], (i % 8) * 28 + 6, (i / 8) * 28 + 6, 24, 24);
  l.L_PalCap = {16, 12, sizes.LabelWidth[0], capH};
  l.I_Pal = {16, l.L_PalCap.Bottom() + 8, kPaletteImageWidth, kPaletteImageHeight};
  p.PaletteIndex = -1;
  p.BkgPictureIndex = -1;
  // 2. The gamma field with its two mode buttons above its right end.
  p.GammaSize = kGammaFieldSize;
  p.GammaHalf = kGammaFieldSize / 2;
  l.L_GammaCap = {l.I_Pal.Right() + 16, l.L_PalCap.Top, sizes.LabelWidth[1], capH};
  l.I_Gamma = {l.L_GammaCap.Left, l.L_GammaCap.Bottom() + 8, p.GammaSize, p.GammaSize};
  l.B_GammaSquare = {l.I_Gamma.Right() - sizes.SpeedWidth, l.I_Gamma.Top - 4 - sizes.SpeedHeight, sizes.SpeedWidth,
                     sizes.SpeedHeight};
  l.B_GammaCircle = {l.B_GammaSquare.Left - 4 - sizes.SpeedWidth, l.B_GammaSquare.Top, sizes.SpeedWidth,
                     sizes.SpeedHeight};
  // 3. The default colours: only those before the first empty entry.
  p.DefaultColorCount = 0;
  while (p.DefaultColorCount < kMaxDefaultColors && p.DefaultColors[p.DefaultColorCount] != -1) ++p.DefaultColorCount;
  p.DefaultColorIndex = -1;
  int32_t lowest = l.I_Pal.Bottom();
  l.DefColShown = p.DefaultColorCount > 0;
  if (l.DefColShown) {
    for (int32_t i = 0; i < p.DefaultColorCount; ++i) SetSkinRectBounds(p.DefaultColorRects[i], i * 28 + 6, 6, 24, 24);
    l.L_DefColCap = {16, l.I_Pal.Bottom() + 16, sizes.LabelWidth[2], capH};
    const int32_t w = p.DefaultColorCount * 28 + 8;
    l.I_DefCol = {l.I_Pal.Right() + 1 - w, l.L_DefColCap.Top, w, kDefColImageHeight};
    lowest = IntMax(lowest, l.I_DefCol.Bottom());
  }
  // 4. The selected colour and the colour under the pointer, side by side down to the field's
  // bottom.
  l.L_SelColCap = {16, lowest + 16, sizes.LabelWidth[3], capH};
  const int32_t selTop = l.L_SelColCap.Bottom() + 8;
  const int32_t selW = kPaletteImageWidth / 2 - 4;
  const int32_t selH = IntMax(l.I_Gamma.Bottom() - selTop, 1);
  l.I_SelCol = {16, selTop, selW, selH};
  l.I_PointColor = {l.I_Pal.Right() - selW, selTop, selW, selH};
  lowest = IntMax(l.I_SelCol.Bottom(), l.I_Gamma.Bottom());
  // 5. The background pictures.
  if (p.ShowBkgPics) {
    for (int32_t i = 0; i < kBackgroundPictureCount; ++i)
      SetSkinRectBounds(p.BkgPictureRects[i], i * 67 + 6, 6, kBackgroundButtonWidth, kBackgroundButtonHeight);
    l.L_BkgPicsCap = {16, lowest + 16, sizes.LabelWidth[4], capH};
    l.I_BkgPics = {16, l.L_BkgPicsCap.Bottom() + 8, kBkgPicsImageWidth, kBkgPicsImageHeight};
    lowest = l.I_BkgPics.Bottom();
  }
  // 6. OK and Cancel under everything, at the right.
  l.B_Cancel = {l.I_Gamma.Right() - sizes.ButtonWidth, lowest + 24, sizes.ButtonWidth, sizes.ButtonHeight};
  l.B_OK = {l.B_Cancel.Left - 16 - sizes.ButtonWidth, l.B_Cancel.Top, sizes.ButtonWidth, sizes.ButtonHeight};
  l.ClientWidth = IntMax(l.I_Gamma.Right(), p.ShowBkgPics ? l.I_BkgPics.Right() : 0) + 16;
  l.ClientHeight = l.B_OK.Bottom() + 12;

  CreateDib24(*p.Pal, l.I_Pal.Width, l.I_Pal.Height);
  CreateDib24(*p.Gamma, p.GammaSize, p.GammaSize);
  CreateDib24(*p.StoreGamma, p.GammaSize, p.GammaSize);
  CreateDib24(*p.SelCol, selW, selH);
  CreateDib24(*p.PointColor, selW, selH);
  if (l.DefColShown)
    CreateDib24(*p.DefCol, l.I_DefCol.Width, l.I_DefCol.Height);
  else
    FreeDib(*p.DefCol);
  if (p.ShowBkgPics)
    CreateDib24(*p.BkgPics, kBkgPicsImageWidth, kBkgPicsImageHeight);
  else
    FreeDib(*p.BkgPics);

  // 7. First display.
  RenderGamma(p);
  RefreshPicker(p, false);
  FillImage(*p.PointColor, kPointColorStart);
  return l;
}

void DrawPalette(TColorPicker& p) {
  TDibImage& pal = *p.Pal;
  FillImage(pal, p.BackColor);
  DrawDibFrame(pal, 0, 0, pal.Width, pal.Height, kBlack);
  p.PaletteIndex = -1;
  for (int32_t i = 0; i < kPaletteColorCount; ++i) {
    if (PaletteColors[i] == p.PickedColor) {
      p.PaletteIndex = i;
      MarkCell(pal, p.PaletteCellRects[i], i >= 40 && i <= 43 ? kDarkCellMarker : kBlack);
    }
    FillCell(pal, p.PaletteCellRects[i], uint32_t(PaletteColors[i]));
  }

  p.DefaultColorIndex = -1;
  if (p.DefaultColorCount > 0 && p.DefCol->Width > 0) {
    TDibImage& def = *p.DefCol;
    FillImage(def, p.BackColor);
    DrawDibFrame(def, 0, 0, def.Width, def.Height, kBlack);
    for (int32_t i = 0; i < p.DefaultColorCount; ++i) {
      if (p.DefaultColors[i] == p.PickedColor) {
        p.DefaultColorIndex = i;
        MarkCell(def, p.DefaultColorRects[i], kBlack);
      }
      FillCell(def, p.DefaultColorRects[i], uint32_t(p.DefaultColors[i]) & 0xFFFFFF);
    }
  }

  p.BkgPictureIndex = -1;
  if (p.ShowBkgPics && p.BkgPics->Width > 0) {
    TDibImage& bkg = *p.BkgPics;
    FillImage(bkg, p.BackColor);
    DrawDibFrame(bkg, 0, 0, bkg.Width, bkg.Height, kBlack);
    for (int32_t i = 0; i < kBackgroundPictureCount; ++i) {
      const TSkinRect& r = p.BkgPictureRects[i];
      if (kFirstBackgroundCode + i == p.PickedColor) {
        p.BkgPictureIndex = i;
        MarkCell(bkg, r, kBlack);
      }
      const TDibImage* button = p.Buttons ? &*p.Buttons->Buttons[i] : nullptr;
      if (button && button->Width > 0) {
        FillCell(bkg, r, p.BackColor);  // a small button leaves ground, not marker, round it
        BlitDib(bkg, r.Left, r.Top, IntMin(r.Width, button->Width), IntMin(r.Height, button->Height), *button, 0, 0);
      } else {
        // No button picture: the grey the windows fall back to, framed so the cell still shows.
        FillCell(bkg, r, kEmptyButton);
        DrawDibFrame(bkg, r.Left, r.Top, r.Width, r.Height, 0x707070);
      }
    }
  }
  // A background picture is no colour: the colour swatch would show a meaningless near-black.
  p.SelColVisible = p.BkgPictureIndex == -1 && !IsBackgroundPicture(p.PickedColor);
}

bool GammaPointColor(const TColorPicker& p, int32_t x, int32_t y, uint32_t& color) {
  if (x < 0 || y < 0 || x >= p.GammaSize || y >= p.GammaSize) return false;
  if (p.GammaMode == kGammaCircle) return GammaCircleColor(x, y, p.GammaHalf, color);
  color = GammaSquareColor(x, y, p.GammaSize, p.GammaHalf);
  return true;
}

void RenderGamma(TColorPicker& p) {
  TDibImage& g = *p.Gamma;
  for (int32_t y = 0; y < g.Height; ++y)
    for (int32_t x = 0; x < g.Width; ++x) {
      uint32_t c;
      SetDibPixel(g, x, y, GammaPointColor(p, x, y, c) ? c : p.BackColor);
    }
  if (p.StoreGamma->Width != g.Width || p.StoreGamma->Height != g.Height) CreateDib24(*p.StoreGamma, g.Width, g.Height);
  BlitDib(*p.StoreGamma, 0, 0, g.Width, g.Height, g, 0, 0);
}

bool FindColorInGamma(const TColorPicker& p, int32_t color, int32_t& x, int32_t& y) {
  const TDibImage& s = *p.StoreGamma;
  const int32_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
  int32_t best = -1;
  for (int32_t py = 0; py < s.Height; ++py) {
    const uint8_t* row = DibScanLine(s, py);
    for (int32_t px = 0; px < s.Width; ++px) {
      const uint8_t* q = row + px * 3;
      const int32_t dr = std::abs(q[2] - r), dg = std::abs(q[1] - g), db = std::abs(q[0] - b);
      if (dr > 5 || dg > 5 || db > 5) continue;
      const int32_t sum = dr + dg + db;
      if (best >= 0 && sum >= best) continue;
      if (p.GammaMode == kGammaCircle && !InCircle(p, px, py)) continue;
      best = sum;
      x = px;
      y = py;
    }
  }
  return best >= 0;
}

void ShowGammaMarker(TColorPicker& p) {
  TDibImage& g = *p.Gamma;
  if (g.Width != p.StoreGamma->Width || g.Height != p.StoreGamma->Height) return;
  BlitDib(g, 0, 0, g.Width, g.Height, *p.StoreGamma, 0, 0);
  int32_t px, py;
  // A picture code would match some near-black point of the field: pictures get no marker.
  if (IsBackgroundPicture(p.PickedColor) || !FindColorInGamma(p, p.PickedColor, px, py)) return;
  for (int32_t y = py - 2; y <= py + 2; ++y)
    for (int32_t x = px - 2; x <= px + 2; ++x) {
      if (x != px - 2 && x != px + 2 && y != py - 2 && y != py + 2) continue;
      if (x < 0 || y < 0 || x >= g.Width || y >= g.Height) continue;
      uint8_t* q = DibPixelAddress(g, x, y);
      q[0] = uint8_t(~q[0]);
      q[1] = uint8_t(~q[1]);
      q[2] = uint8_t(~q[2]);
    }
}

void ApplyPickedColor(TColorPicker& p, bool apply) {
  ShowSelectedColor(p);
  if (!apply) return;
  if (p.PickTarget == kPickWoodColor) {
    if (p.WoodHost) p.WoodHost->SetWoodColor(p.PickedColor);
    return;
  }
  if (!p.BackgroundHost) return;  // not set up: nothing to preview on
  TBackgroundPickHost& h = *p.BackgroundHost;
  if (p.PickTarget == kPickAllWindows) {
    if (IsBackgroundPicture(p.PickedColor) && !h.LoadBackgroundPicture(p.PickedColor)) {
      p.PickedColor = kBackgroundGrey;
      // Show what the windows got, so OK returns what the player sees.
      DrawPalette(p);
      ShowSelectedColor(p);
    }
    for (int32_t i = 0; i < 6; ++i) h.SetWindowBackground(i, p.PickedColor);
    h.SetFieldBackground(p.PickedColor);
  } else {
    h.SetWindowBackground(p.PickTarget, p.PickedColor);
  }
  h.RedrawBackgrounds();
}

void RefreshPicker(TColorPicker& p, bool apply) {
  DrawPalette(p);
  ApplyPickedColor(p, apply);
}

int32_t PickerCellAt(const TSkinRect* rects, int32_t count, int32_t x, int32_t y) {
  for (int32_t i = 0; i < count; ++i)
    if (PointInSkinRect(rects[i], x, y)) return i;
  return -1;
}

namespace {
bool PickCode(TColorPicker& p, int32_t code) {
  if (code == p.PickedColor) return false;
  p.PickedColor = code;
  RefreshPicker(p, true);
  return true;
}
}  // namespace

bool PaletteMouseDown(TColorPicker& p, int32_t x, int32_t y) {
  const int32_t i = PickerCellAt(p.PaletteCellRects, kPaletteColorCount, x, y);
  return i >= 0 && PickCode(p, PaletteColors[i]);
}

bool DefColMouseDown(TColorPicker& p, int32_t x, int32_t y) {
  const int32_t i = PickerCellAt(p.DefaultColorRects, p.DefaultColorCount, x, y);
  return i >= 0 && PickCode(p, p.DefaultColors[i]);
}

bool BkgPicsMouseDown(TColorPicker& p, int32_t x, int32_t y) {
  if (!p.ShowBkgPics) return false;
  const int32_t i = PickerCellAt(p.BkgPictureRects, kBackgroundPictureCount, x, y);
  return i >= 0 && PickCode(p, kFirstBackgroundCode + i);
}

bool GammaMouseDown(TColorPicker& p, int32_t x, int32_t y) {
  uint32_t c;
  if (!GammaPointColor(p, x, y, c)) return false;
  FillImage(*p.PointColor, c);
  p.PointColorVisible = true;
  p.PickedColor = int32_t(c);
  RefreshPicker(p, true);
  return true;
}

void GammaMouseMove(TColorPicker& p, int32_t x, int32_t y) {
  p.PointColorVisible = true;
  uint32_t c;
  if (GammaPointColor(p, x, y, c)) FillImage(*p.PointColor, c);
}

void SetGammaMode(TColorPicker& p, int32_t mode) {
  p.GammaMode = mode;
  RenderGamma(p);
  ShowGammaMarker(p);
}
