#include "game/level_page.h"

#include <algorithm>
#include <cstring>

#include "foundation/dib_ops.h"

namespace {

// Records read from files are not trusted to hold choices in range.
int32_t ClampChoice(int32_t value, int32_t count) { return std::clamp(value, 0, count - 1); }

bool IsGame(const TLevelPage& page) { return page.SelectedKind == kSelectedGame; }

}  // namespace

void ApplyLevelRecord(TLevelPage& page, const TLevelRecord& r) {
  BuildLevelTable(page.LevelTable, r.ImageW, r.ImageH, r.ShapeStyle, r.BorderStyle);
  page.Position = ClampChoice(r.Level, kLevelCount);
  page.RotateFlag = r.Rotate != 0;
  page.FitToScreenFlag = r.FitToScreen != 0;
  page.BorderIndex = ClampChoice(int32_t(r.BorderStyle), kBorderCount);
  page.ShapeIndex = ClampChoice(int32_t(r.ShapeStyle), kShapeCount);
  page.MixIndex = ClampChoice(r.SpreadOut, kMixCount);
}

bool UpdatePieceCount(TLevelPage& page, TLevelRecord& cur) {
  bool result = true;
  if (page.SelectedKind == kSelectedJigsaw) {
    const int32_t w = page.FitToScreenFlag ? cur.FitImageW : cur.ImageW;
    const int32_t h = page.FitToScreenFlag ? cur.FitImageH : cur.ImageH;
    BuildLevelTable(page.LevelTable, w, h, TShapeStyle(page.ShapeIndex), TBorderStyle(page.BorderIndex));
    cur.Level = ClampChoice(cur.Level, kLevelCount);
    // The grid with the page's border: the table's own totals hold the extra pieces of
    // shape style 3, which only the cut adds.
    TLevelGrid grid{};
    ComputeGrid(grid, w, h, page.LevelTable[size_t(cur.Level)].TileS, TShapeStyle(page.ShapeIndex),
                TBorderStyle(page.BorderIndex));
    FillLevelFromGrid(cur, grid);
    // A picture too small for a single piece cannot be cut either.
    result = cur.TotalTileNum > 0;
  }
  if (cur.TotalTileNum > kMaxPieceCount) result = false;
  return result;
}

int32_t PreviewPieceSize(const TLevelPage& page) {
  return page.LevelTable[size_t(ClampChoice(page.Position, kLevelCount))].TileS;
}

std::optional<bool> ChooseShape(TLevelPage& page, TLevelRecord& cur, TLevelRecord& def, int32_t shape) {
  page.ShapeIndex = ClampChoice(shape, kShapeCount);
  if (IsGame(page)) return std::nullopt;
  def.ShapeStyle = cur.ShapeStyle = TShapeStyle(page.ShapeIndex);
  return UpdatePieceCount(page, cur);
}

std::optional<bool> ChooseBorder(TLevelPage& page, TLevelRecord& cur, TLevelRecord& def, int32_t border) {
  page.BorderIndex = ClampChoice(border, kBorderCount);
  if (IsGame(page)) return std::nullopt;
  const bool ok = UpdatePieceCount(page, cur);
  def.BorderStyle = cur.BorderStyle = TBorderStyle(page.BorderIndex);
  return ok;
}

void ChooseMix(TLevelPage& page, TLevelRecord& cur, TLevelRecord& def, int32_t mix) {
  page.MixIndex = ClampChoice(mix, kMixCount);
  if (IsGame(page)) return;
  def.SpreadOut = cur.SpreadOut = uint8_t(page.MixIndex);
}

void ToggleRotation(TLevelPage& page, TLevelRecord& cur, TLevelRecord& def) {
  page.RotateFlag = !page.RotateFlag;
  if (IsGame(page)) return;
  def.Rotate = cur.Rotate = page.RotateFlag ? 1 : 0;
}

std::optional<bool> ToggleFitToScreen(TLevelPage& page, TLevelRecord& cur, TLevelRecord& def) {
  page.FitToScreenFlag = !page.FitToScreenFlag;
  if (IsGame(page)) return std::nullopt;
  const bool ok = UpdatePieceCount(page, cur);
  def.FitToScreen = cur.FitToScreen = page.FitToScreenFlag ? 1 : 0;
  return ok;
}

std::optional<bool> ChooseLevel(TLevelPage& page, TLevelRecord& cur, TLevelRecord& def, int32_t level) {
  page.Position = ClampChoice(level, kLevelCount);
  if (IsGame(page)) return std::nullopt;
  def.Level = cur.Level = page.Position;
  return UpdatePieceCount(page, cur);
}

void MakeGreyedHalf(TDibImage& strip, uint32_t tint, uint32_t key) {
  if (strip.Width <= 0 || strip.BytesPerPixel != 3) return;
  const int32_t h = strip.Height / 2;
  const size_t rowBytes = size_t(strip.Width) * 3;
  for (int32_t y = 0; y < h; ++y) std::memcpy(DibScanLine(strip, y + h), DibScanLine(strip, y), rowBytes);
  TintDibRect(strip, 0, h, strip.Width, h, tint, key);
}

void DrawShapePreview(TDibImage& target, int32_t size, int32_t shape, const TDibImage& masks, const TDibImage& texture,
                      uint32_t background) {
  if (target.Width <= 0) return;
  FillDibRect(target, 0, 0, target.Width, target.Height, background);
  if (masks.Width <= 0 || texture.Width <= 0) return;
  int32_t w = int32_t(int64_t(size) * kPreviewCellW / 128);
  int32_t h = int32_t(int64_t(size) * kPreviewCellH / 128);
  if (w > kPreviewCellW || h > kPreviewCellH) {
    w = kPreviewCellW;
    h = kPreviewCellH;
  }
  if (w <= 0 || h <= 0) return;  // no size, or one too small to show
  TDibHolder cell, m, t;
  if (!CreateDib24(*cell, kPreviewCellW, kPreviewCellH) || !CreateDib24(*m, w, h) || !CreateDib24(*t, w, h)) return;
  FillDibRect(*cell, 0, 0, kPreviewCellW, kPreviewCellH, 0);
  const int32_t column = ShapeStyleRow(TShapeStyle(ClampChoice(shape, kShapeCount))).PreviewCell;
  BlitDib(*cell, 0, 0, kPreviewCellW, kPreviewCellH, masks, (kPreviewCellW + 1) * column + 1, 0);
  ScaleDib(*m, *cell);
  FillDibRect(*t, 0, 0, w, h, background);
  BlitDib(*t, 0, 0, w, h, texture, (kPreviewCellW - w) / 2, (kPreviewCellH - h) / 2);

  auto inside = [&](int32_t c, int32_t r) { return DibPixelAddress(*m, c, r)[0] == 255; };
  const int32_t dx = (target.Width - w) / 2, dy = (target.Height - h) / 2;
  for (int32_t r = 0; r < h; ++r) {
    for (int32_t c = 0; c < w; ++c) {
      if (!inside(c, r)) continue;
      int32_t offset = 0;
      if (c == 0 || r == 0)
        offset = 30;
      else if (c == w - 1 || r == h - 1)
        offset = -30;
      else if (!inside(c, r - 1) || !inside(c - 1, r))
        offset = 30;
      else if (!inside(c, r + 1) || !inside(c + 1, r))
        offset = -30;
      const int32_t x = dx + c, y = dy + r;
      if (x < 0 || y < 0 || x >= target.Width || y >= target.Height) continue;
      const uint8_t* src = DibPixelAddress(*t, c, r);
      uint8_t* dst = DibPixelAddress(target, x, y);
      for (int k = 0; k < 3; ++k) dst[k] = uint8_t(std::clamp(src[k] + offset, 0, 255));
    }
  }
}
