#include "foundation/piece_styles.h"

#include <array>

namespace {

constexpr int32_t kIrregularFallback[] = {0, 1, 10, 11};
constexpr int32_t kSimpleFallback[] = {10};
constexpr int32_t kFancyFallback[] = {7, 6, 8, 9, 4, 5, 10, 11, 12};
constexpr int32_t kFiguresFallback[] = {10, 11, 12};

using S = TShapeStyle;
using C = TShapeCutter;

// Style, cutter, picture shapes, alternating knobs, fallback knobs, grid knobs, name, preview.
constexpr std::array<TShapeStyleRow, kShapeStyleCount> kRows{{
    {S::Irregular, C::Cells, false, false, kIrregularFallback, 0, "Shapes0", 0},
    {S::IrregularSimpleKnobs, C::Cells, false, true, kSimpleFallback, 0, "Shapes1", 1},
    {S::IrregularFancyKnobs, C::Cells, false, false, kFancyFallback, 0, "Shapes2", 2},
    {S::IrregularFigures, C::Cells, true, false, kFiguresFallback, 0, "Shapes3", 3},
    {S::Classic, C::Grid, false, false, {}, 1, "Shapes4", 4},
    {S::ClassicMixedKnobs, C::Grid, false, false, {}, 4, "Shapes5", 5},
    {S::ClassicVariedKnobs, C::Grid, false, false, {}, 6, "Shapes6", 6},
}};

constexpr bool InStoredOrder() {
  for (size_t i = 0; i < kRows.size(); ++i)
    if (size_t(kRows[i].Style) != i) return false;
  return kRows.back().Style == kLastShapeStyle;
}
static_assert(InStoredOrder(), "row i must describe style i, the last row the last style");

}  // namespace

std::span<const TShapeStyleRow, kShapeStyleCount> ShapeStyleRows() { return kRows; }

bool IsShapeStyle(int32_t stored) { return stored >= 0 && size_t(stored) < kRows.size(); }

const TShapeStyleRow& ShapeStyleRow(TShapeStyle style) {
  const size_t i = size_t(style);
  return kRows[i < kRows.size() ? i : kRows.size() - 1];
}
