#pragma once
#include <cstdint>
#include <vector>

#include "engine/curves.h"
#include "engine/white_regions.h"
#include "foundation/dib_image.h"

// Flood fills from many seeds, one after another, done at once: each fill takes the white
// region its seed lies in, unless an earlier fill took it (its seed is no longer white then).
// The white regions are labelled once and the taken ones painted run by run, which is what
// the fills would do pixel by pixel.
class TRegionClaims {
 public:
  // Fills are numbered 0..fills - 1.
  TRegionClaims(TDibImage& map, int32_t fills);
  // The white region at the point that no fill took yet; -1 when the pixel is not white, is
  // taken or lies outside the map.
  int32_t FreeRegion(int32_t x, int32_t y);
  // The fill takes the region in its colour. A fill in white changes nothing: the region stays
  // white, and free.
  void Take(int32_t region, int32_t fill, uint32_t colour);
  // Paints every taken region. Returns per fill the box of what it painted (Left > Right
  // when nothing). Bands of rows paint at once, on this thread and up to helpers more (-1: the
  // spare cores).
  std::vector<TBoundsRect> Paint(int32_t helpers = -1);
  // f(y, x0, x1) for every run of the regions no fill took, but the one numbered except, row
  // by row, left to right: after the paint, the white left in the map.
  template <class F>
  void ForEachFreeRun(int32_t except, F&& f) {
    Regions.ForEachRun(0, Regions.Rows(), [&](int32_t y, int32_t x0, int32_t x1, int32_t region) {
      if (Owner[size_t(region)] < 0 && region != except) f(y, x0, x1);
    });
  }

 private:
  TDibImage& Map;
  TWhiteRegions Regions;
  std::vector<int32_t> Owner;     // per region, the fill that took it, or -1
  std::vector<uint32_t> Colours;  // per fill
};
