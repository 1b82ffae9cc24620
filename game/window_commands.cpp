#include "game/window_commands.h"

#include <cstdio>

#include "foundation/file_helpers.h"
#include "foundation/numeric.h"
#include "foundation/text_format.h"
#include "game/background_pictures.h"
#include "game/layout.h"
#include "game/piece_order.h"
#include "game/pieces.h"
#include "platform/text_compare.h"

namespace {

constexpr int32_t kFirstPocket = 2, kLastPocket = 5;

void PlacePocket(TSkinWindow& w, int32_t x, int32_t y, int32_t width, int32_t height) {
  SetSkinRectBounds(w.Outer, x, y, width, height);
  ResizeSkinWindow(w, false);
}

// Shows the hidden pockets that hold pieces; the visible pockets in index order.
std::vector<TSkinWindow*> PocketsToArrange(TField& f) {
  std::vector<TSkinWindow*> visible;
  for (int32_t i = kFirstPocket; i <= kLastPocket; ++i) {
    TSkinWindow& w = f.Windows.GameWindows[size_t(i)];
    if (!w.Visible && w.PieceCount > 0) ShowPocket(f, i, true);
    if (w.Visible) visible.push_back(&w);
  }
  return visible;
}

void FinishPocketArrangement(TField& f) {
  f.Game.Play.RedrawKind = kRedrawField;
  RefreshDrag(f);
  Redraw(f);
}

}  // namespace

TSkinRect NewPocketBounds(const TSkinWindows& ws, int32_t pocket, int32_t fieldW, int32_t fieldH) {
  const int32_t w = fieldW / 4, h = fieldH / 4;
  const TSkinWindow* pick = nullptr;
  int32_t pickLeft = 10000, pickTop = -9999;
  for (int32_t i = kFirstPocket; i <= kLastPocket; ++i) {
    const TSkinWindow& other = ws.GameWindows[size_t(i)];
    if (i == pocket || !other.Visible) continue;
    if (other.Outer.Left < pickLeft && other.Outer.Top > pickTop) {
      pick = &other;
      pickLeft = other.Outer.Left;
      pickTop = other.Outer.Top;
    }
  }
  int32_t x = fieldW - w, y = 0;
  if (pick) {
    x = pickLeft - 40;
    y = pickTop + 40;
    if (x + w > fieldW) x = fieldW - w;
    if (y + h > fieldH) y = fieldH - h;
  }
  TSkinRect r{};
  SetSkinRectBounds(r, IntMax(x, 0), IntMax(y, 0), w, h);
  return r;
}

namespace {

bool SetPocketShown(TSkinWindows& ws, TGameState& g, int32_t pocket, bool show) {
  if (pocket < kFirstPocket || pocket > kLastPocket) return false;
  TSkinWindow& w = ws.GameWindows[size_t(pocket)];
  SetSkinWindowVisible(ws, w, show);
  if (w.Visible) BringSkinWindowToFront(ws, w);
  g.Play.RedrawKind = kRedrawField;
  if (w.Visible && w.PieceCount == 0) {
    const TSkinRect r = NewPocketBounds(ws, pocket, g.Field.FieldW, g.Field.FieldH);
    PlacePocket(w, r.Left, r.Top, r.Width, r.Height);
  }
  return true;
}

}  // namespace

void ShowPocket(TField& f, int32_t pocket, bool show) {
  if (SetPocketShown(f.Windows, f.Game, pocket, show)) f.Host.PocketChanged(pocket);
}

void ShowPocket(TGameSession& s, int32_t pocket, bool show) {
  if (SetPocketShown(s.Windows, s.Game, pocket, show)) s.Host.PocketChanged(pocket);
}

bool TilePockets(TField& f) {
  const std::vector<TSkinWindow*> pockets = PocketsToArrange(f);
  const int32_t m = int32_t(pockets.size());
  if (m == 0) return false;
  const int32_t fw = f.Game.Field.FieldW, fh = f.Game.Field.FieldH;
  const int32_t w = fw / 4, h = fh / m;
  int32_t y = 0;
  for (TSkinWindow* p : pockets) {
    PlacePocket(*p, fw - w, y, w, h);
    y += h;
    BringSkinWindowToFront(f.Windows, *p);
    UpdateWindowContentSize(f, *p);
  }
  FinishPocketArrangement(f);
  return true;
}

bool CascadePockets(TField& f) {
  const std::vector<TSkinWindow*> pockets = PocketsToArrange(f);
  const int32_t m = int32_t(pockets.size());
  if (m == 0) return false;
  const int32_t fw = f.Game.Field.FieldW, fh = f.Game.Field.FieldH;
  const int32_t w = fw / 4, h = fh - 34 * m;
  int32_t x = fw - w - (m - 1) * 30, y = 0;
  for (TSkinWindow* p : pockets) {
    PlacePocket(*p, x, y, w, h);
    x += 30;
    y += 34;
    BringSkinWindowToFront(f.Windows, *p);
    UpdateWindowContentSize(f, *p);
  }
  FinishPocketArrangement(f);
  return true;
}

int32_t LongestGroupRun(const std::vector<TPieceOrderEntry>& order, int32_t& length) {
  length = 0;
  int32_t best = -1;
  const int32_t n = int32_t(order.size());
  int32_t start = 0;
  for (int32_t i = 1; i <= n; ++i) {
    // A run closes where the group changes; the last entry closes the run it belongs to.
    if (i < n && order[size_t(i)].Group == order[size_t(start)].Group) continue;
    const bool lastStartsOwnRun = i == n && start == n - 1 && n > 1;
    const int32_t len = i - start;
    if (!lastStartsOwnRun && len > length) {
      length = len;
      best = start;
    }
    start = i;
  }
  return best;
}

void GatherPieces(TField& f) {
  TGameState& g = f.Game;
  TSkinWindows& ws = f.Windows;
  if (g.Play.HasSelection) ClearSelection(g, PieceViewOf(ActiveWindowRecord(f)));
  if (g.Play.DragState == 1) {
    g.Play.DragState = 0;
    g.Play.HeldPiece = -1;
  }
  const int32_t n = LivePieceCount(g);
  for (int32_t i = 0; i < n; ++i) g.Pieces[size_t(i)].Window = 0;
  SortPieces(g, false);
  if (g.Play.WeightGroup == -1) {
    int32_t length = 0;
    const int32_t first = LongestGroupRun(g.PieceOrder, length);
    if (first >= 0 && length >= g.GameLevel.TotalTileNum / 2) {
      g.Play.WeightGroup = g.PieceOrder[size_t(first)].Index;
      SendWeightGroupToBottom(g);
      g.Play.WeightGroup = -1;
    }
  }
  HighlightSkinWindow(ws, &ws.GameWindows[0]);
  for (int32_t i = kFirstPocket; i <= kLastPocket; ++i) {
    TSkinWindow& p = ws.GameWindows[size_t(i)];
    p.PieceCount = 0;
    ShowPocket(f, i, false);
    UpdateWindowContentSize(f, p);
  }
  SetActiveSide(f, 0);
  BringGroupsIntoView(g, PieceViewOf(ws.GameWindows[0]), true);
  g.Play.RedrawKind = kRedrawField;
  Redraw(f);
}

void ResolveWindowBackgrounds(TViewState& v, const std::function<bool(int32_t)>& loadPicture) {
  int32_t picture = 0;
  for (int32_t& value : v.WindowBkg) {
    if (!IsBackgroundPicture(value)) continue;
    if (picture == 0)
      picture = value;
    else if (value != picture)
      value = int32_t(kFieldGrey);
  }
  if (picture == 0 || (loadPicture && loadPicture(picture))) return;
  for (int32_t& value : v.WindowBkg)
    if (value == picture) value = int32_t(kFieldGrey);
}

void AddRecentFile(TSettings& st, const std::string& path) {
  if (path.empty()) return;
  int32_t found = -1;
  for (int32_t i = 0; i < st.RecentCount && found < 0; ++i)
    if (SameTextIgnoringCase(st.RecentFiles[i].Path, path)) found = i;
  int32_t last = found;
  if (found < 0) {
    last = kMaxRecentFiles - 1;
    st.RecentCount = IntMin(st.RecentCount + 1, kMaxRecentFiles);
  }
  for (int32_t i = last; i > 0; --i) st.RecentFiles[i] = st.RecentFiles[i - 1];
  st.RecentFiles[0] = TRecentFile{path, FileNameOf(path)};
}

std::string FormatByteSize(int32_t n) {
  const double kb = double(n) / 1024;
  const double mb = kb / 1024;
  char text[64];
  if (mb > 1)
    std::snprintf(text, sizeof text, "%1.2f Mb", mb);
  else if (kb > 1)
    std::snprintf(text, sizeof text, "%1.0f Kb", kb);
  else
    std::snprintf(text, sizeof text, "%d Bytes", n);
  return text;
}

int32_t ProgressBarWidth(int32_t emptyWidth, int32_t pos, int32_t max) {
  if (max <= 0) return 0;
  return int32_t(int64_t(emptyWidth) * ClampInt(pos, 0, max) / max);
}

std::string MessageLineBreaks(const std::string& text) { return WideStringReplace(text, "$D", "\n", 1); }

void WeightCommand(TField& f, int32_t x, int32_t y) {
  TPlayState& play = f.Game.Play;
  if (play.DragState == 1 && play.HeldPiece >= 0) {
    play.WeightGroup = play.HeldPiece;
    ApplyWeightMode(f);
    return;
  }
  if (play.WeightGroup == -1) {
    if (!f.Pin.Dragging) {
      if (x < 0 || y < 0) x = y = -100;
      StartWeightPin(f, x, y);
    } else {
      f.Pin.Dragging = false;
      play.WeightGroup = -1;
      ApplyWeightMode(f);
    }
    play.RedrawKind = kRedrawField;
    Redraw(f);
    return;
  }
  f.Pin.Dragging = false;
  play.WeightGroup = -1;
  ApplyWeightMode(f);
}

void WindowMenuKeys(const TSkinWindow& w, std::string& bkgKey, std::string& selectAllKey) {
  const bool pocket = w.Style == kSkinStylePocket;
  const std::string n = std::to_string(pocket ? w.Index - 1 : w.Index + 1);
  bkgKey = (pocket ? "MI_GameBkgPocket" : "MI_GameBkgWin") + n;
  selectAllKey = (pocket ? "MI_GameSelectAllPocket" : "MI_GameSelectAllWin") + n;
}
