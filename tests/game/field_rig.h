#pragma once
#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/skin_window.h"
#include "game/field.h"
#include "game/piece_order.h"
#include "game/pieces.h"
#include "platform/sound.h"
#include "play_fixture.h"
#include "support/recording_host.h"

// A real grid cut (shape style 4) of a width x height test picture at a level of the level
// table, unturned, every piece its own group on First Side at the picture place.
void MakeGridCutGame(TGameState& g, int32_t width, int32_t height, int32_t level, bool border, uint32_t seed);

// A field of 800 x 600 with First Side covering it, a test cut loaded and the sound and
// the star's waiting recorded by the host instead of played.
struct TFieldRig {
  TRecordingHost host;
  TGameState g;
  TSkinWindows ws;
  TField f{g, ws, host};
  std::vector<std::string> sounds;

  explicit TFieldRig(const TTestCut& cut, int32_t width = 800, int32_t height = 600) {
    MakeTestGame(g, cut);
    Setup(width, height);
  }
  // A real grid cut of a 200 x 150 picture.
  TFieldRig(int32_t level, bool border, uint32_t seed, int32_t width = 800, int32_t height = 600) {
    MakeGridCutGame(g, 200, 150, level, border, seed);
    Setup(width, height);
  }
  void Setup(int32_t width, int32_t height) {
    SetupGameWindows(ws);
    TSkinWindow& side = ws.GameWindows[0];
    SetSkinRectBounds(side.Outer, 0, 0, width, height);
    RelayoutSkinWindow(side);
    CopySkinWindowLayout(ws.GameWindows[1], side);
    InitField(f);
    f.Work = TWorkArea{width, height, 0, 0, 0, width, height};
    UpdateFieldSize(f, TFieldLayout{});
    g.Field.ContentW = width;
    g.Field.ContentH = height;
    f.FormsReady = true;
    f.ProgramDir = std::string(getenv("ZORVA_DATA_DIR")) + "/";
    SetSoundSink([this](const std::string& p) { sounds.push_back(p); });
    SetActiveSide(f, 0);
    g.Play.RedrawKind = kRedrawNone;
    SortPieces(g, false);
  }
  ~TFieldRig() { SetSoundSink({}); }

  TPieceRecord& P(int32_t i) { return g.Pieces[size_t(i)]; }
  // A pocket shown at (x, y), w x h, on top of the others.
  TSkinWindow& ShowPocketAt(int32_t index, int32_t x, int32_t y, int32_t w, int32_t h) {
    TSkinWindow& pocket = ws.GameWindows[size_t(index)];
    SetSkinWindowVisible(ws, pocket, true);
    SetSkinRectBounds(pocket.Outer, x, y, w, h);
    RelayoutSkinWindow(pocket);
    BringSkinWindowToFront(ws, pocket);
    return pocket;
  }
  // The magnifier shown with its outer top left at (x, y), lens made for its size.
  TSkinWindow& ShowGlass(int32_t x, int32_t y) {
    TSkinWindow& glass = ws.GlassWindow;
    glass.Visible = true;
    SetSkinRectBounds(glass.Outer, x, y, glass.Outer.Width, glass.Outer.Height);
    LayoutSkinWindow(glass);
    f.Glass.A = glass.Client.Width / 2.0;
    f.Glass.B = glass.Client.Height / 2.0;
    DrawGlassFrame(f);
    return glass;
  }
  // A field point inside piece i's body (its cell centre), for the window it lies in.
  void BodyPoint(int32_t i, int32_t& x, int32_t& y) {
    const TPieceRecord& p = P(i);
    const TSkinWindow& w = ws.GameWindows[p.Window];
    x = w.Client.Left - w.ScrollX + p.X + (p.CellX - p.PieceX) + p.CellW / 2;
    y = w.Client.Top - w.ScrollY + p.Y + (p.CellY - p.PieceY) + p.CellH / 2;
  }
};
