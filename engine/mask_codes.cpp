// The quarter turns of a mask read through the unturned mask, the codes and runs of an area, and
// the parts of a turned mask a piece draws.
#include "engine/mask_codes.h"

#include <algorithm>
#include <cstring>

#include "foundation/numeric.h"

namespace emboss {

void ReadCodes(TCodes& c, const TDibImage& mask, int32_t r) {
  c.Bytes.resize(size_t(c.Area.W) * size_t(c.Area.H));
  for (int32_t y = 0; y < c.Area.H; ++y) {
    const TTurnedRow row = TurnedMaskRow(mask, r, c.Area.X, c.Area.Y + y);
    uint8_t* out = &c.Bytes[size_t(y) * size_t(c.Area.W)];
    const int32_t inside = IntMin(IntMax(row.Inside, 0), c.Area.W);
    const uint8_t* s = row.At;
    if (row.Step == 1 && inside > 0)
      std::memcpy(out, s, size_t(inside));
    else
      for (int32_t x = 0; x < inside; ++x, s += row.Step) out[x] = *s;
    for (int32_t x = inside; x < c.Area.W; ++x) out[x] = 0;
  }
}

void CountRuns(const TCodes& c, TRuns& runs) {
  const int32_t w = c.Area.W, h = c.Area.H;
  runs.Size = w * h;
  // Every entry is written below: no clearing first.
  runs.Bytes.resize(size_t(8) * size_t(runs.Size));
  runs.Shortest.assign(size_t(runs.Size), uint8_t(kRun));
  const uint8_t* code = c.Bytes.data();
  // Zeros stand before and after the row for the steps that leave it.
  std::vector<uint8_t> sameAsLeft(size_t(w) + 2 * kRun, 0);
  static_assert(kRun == 4, "the sweep along a row takes four steps");
  for (int dir = 0; dir < 8; ++dir) {
    uint8_t* run = &runs.Bytes[size_t(dir) * size_t(runs.Size)];
    const int32_t dx = kDirX[dir], dy = kDirY[dir];
    // Only pixels whose neighbour that way lies in the area; each after its neighbour.
    const int32_t x0 = dx < 0 ? 1 : 0, x1 = dx > 0 ? w - 1 : w;
    const int32_t y0 = dy < 0 ? 1 : 0, y1 = dy > 0 ? h - 1 : h;
    const intptr_t d = intptr_t(dy) * w + dx;
    // A pixel whose neighbour that way lies outside the area has no run.
    for (int32_t y = 0; y < h; ++y)
      if (y < y0 || y >= y1) {
        std::fill(run + intptr_t(y) * w, run + intptr_t(y + 1) * w, uint8_t(0));
      } else if (dy != 0) {
        std::fill(run + intptr_t(y) * w, run + intptr_t(y) * w + x0, uint8_t(0));
        std::fill(run + intptr_t(y) * w + x1, run + intptr_t(y + 1) * w, uint8_t(0));
      }
    for (int32_t j = y0; j < y1; ++j) {
      const int32_t y = dy > 0 ? y1 - 1 - (j - y0) : j;
      uint8_t* r = run + intptr_t(y) * w;
      const uint8_t* k = code + intptr_t(y) * w;
      if (dy != 0) {
        // The neighbour lies in a row already done: no order within the row, and no branch.
        const uint8_t* __restrict own = k + x0;
        const uint8_t* __restrict near = k + x0 + d;
        const uint8_t* __restrict nearRun = r + x0 + d;
        uint8_t* __restrict out = r + x0;
        for (int32_t i = 0; i < x1 - x0; ++i) {
          const uint8_t longer = nearRun[i] < kRun ? uint8_t(nearRun[i] + 1) : uint8_t(kRun);
          out[i] = own[i] == near[i] ? longer : uint8_t(0);
        }
      } else {
        // Along the row: a run is how many of the next kRun steps that way keep the code, so it
        // needs no run before it and the row goes in one sweep without a chain.
        uint8_t* __restrict same = sameAsLeft.data() + kRun - 1;  // same[x]: k[x - 1] == k[x]
        for (int32_t x = 1; x < w; ++x) same[x] = k[x - 1] == k[x];
        const int32_t ahead = dx < 0 ? 0 : 1;  // right: the steps start at same[x + 1]
        for (int32_t x = 0; x < w; ++x) {
          const uint8_t* s = same + x + ahead;
          const uint8_t a = s[0], b = uint8_t(a & s[dx]), c = uint8_t(b & s[2 * dx]);
          r[x] = uint8_t(a + b + c + (c & s[3 * dx]));
        }
      }
    }
    // Pixels on the area's edge count as short: they never decide the light of a pixel worked out.
    uint8_t* __restrict shortest = runs.Shortest.data();
    const uint8_t* __restrict done = run;
    // The bound is a local: a byte store could otherwise change it, which stops vectorising.
    for (int32_t at = 0; at < w * h; ++at) shortest[at] = done[at] < shortest[at] ? done[at] : shortest[at];
  }
}

}  // namespace emboss

using emboss::PixelAt;

// --- Turned masks -----------------------------------------------------------------------------

int32_t TurnedMaskWidth(const TDibImage& mask, int32_t r) { return r & 1 ? mask.Height : mask.Width; }
int32_t TurnedMaskHeight(const TDibImage& mask, int32_t r) { return r & 1 ? mask.Width : mask.Height; }

TTurnedRow TurnedImageRow(const TDibImage& image, int32_t margin, int32_t r, int32_t x, int32_t y) {
  // The area without the margin; a turn moves it and keeps the margin where it was.
  const int32_t aw = image.Width - margin, ah = image.Height - margin;
  const intptr_t right = image.BytesPerPixel, up = image.RowStride;  // rows lie bottom-up
  switch (r & 3) {
    case 1:  // (x, y) shows (y, ah - 1 - x)
      if (x < 0 || y < 0 || y >= aw || x >= ah) return {nullptr, 0, 0};
      return {PixelAt(image, y, ah - 1 - x), up, ah - x};
    case 2:  // (aw - 1 - x, ah - 1 - y)
      if (x < 0 || y < 0 || y >= ah || x >= aw) return {nullptr, 0, 0};
      return {PixelAt(image, aw - 1 - x, ah - 1 - y), -right, aw - x};
    case 3:  // (aw - 1 - y, x)
      if (x < 0 || y < 0 || y >= aw || x >= ah) return {nullptr, 0, 0};
      return {PixelAt(image, aw - 1 - y, x), -up, ah - x};
    default:  // the unturned image, its margin included
      if (x < 0 || y < 0 || y >= image.Height || x >= image.Width) return {nullptr, 0, 0};
      return {PixelAt(image, x, y), right, image.Width - x};
  }
}

TTurnedRow TurnedMaskRow(const TDibImage& mask, int32_t r, int32_t x, int32_t y) {
  return TurnedImageRow(mask, kMaskMargin, r, x, y);
}

uint8_t TurnedMaskCode(const TDibImage& mask, int32_t r, int32_t x, int32_t y) {
  const TTurnedRow row = TurnedMaskRow(mask, r, x, y);
  return row.Inside > 0 ? *row.At : 0;
}

TPieceBox PieceRotatedBounds(const TPieceRecord& piece, const TDibImage& mask, int32_t r) {
  const int32_t x = piece.PieceX, y = piece.PieceY, w = piece.PieceW, h = piece.PieceH;
  const int32_t m = TurnedMaskWidth(mask, r) - kMaskMargin, hm = TurnedMaskHeight(mask, r) - kMaskMargin;
  switch (r & 3) {
    case 1: return {m - h - y, x, h, w};
    case 2: return {m - w - x, hm - h - y, w, h};
    case 3: return {y, hm - w - x, h, w};
    default: return {x, y, w, h};
  }
}

void ResetMaskChannels(TDibImage& mask) {
  if (mask.Width <= 0 || mask.BytesPerPixel < 3) return;
  for (int32_t y = 0; y < mask.Height; ++y) {
    uint8_t* px = DibScanLine(mask, y);
    for (int32_t x = 0; x < mask.Width; ++x, px += mask.BytesPerPixel) {
      px[1] = 0;
      px[2] = kNoLight;
    }
  }
}

int32_t PieceDrawnParts(int32_t boxW, int32_t boxH, int32_t woodWidth, bool frame, TPieceBox parts[4]) {
  const int32_t ww = woodWidth;
  if (!frame) {
    parts[0] = {0, 0, boxW + ww, boxH + ww};
    return 1;
  }
  // Drawing the frame's whole box would walk the empty middle.
  const int32_t band = kFrameBand;
  parts[0] = {0, 0, boxW + ww, band + ww};
  parts[1] = {0, boxH - band, boxW + ww, band + ww};
  parts[2] = {0, band + ww, band + ww, boxH - 2 * band - ww};
  parts[3] = {boxW - band, band + ww, band + ww, boxH - 2 * band - ww};
  return 4;
}
