#include "game/pieces.h"

#include "foundation/numeric.h"
#include "game/layout.h"
#include "game/piece_order.h"
#include "platform/text_compare.h"

TPieceBox PieceRotatedBounds(const TGameState& g, const TPieceRecord& piece, int32_t r) {
  return ::PieceRotatedBounds(piece, g.Images.PieceMasks[0], r & 3);
}

void UpdatePieceRotation(TGameState& g, TPieceRecord& piece) {
  const TPieceBox b = PieceRotatedBounds(g, piece, piece.Rotation);
  piece.BoxX = b.X;
  piece.BoxY = b.Y;
  piece.BoxW = b.W;
  piece.BoxH = b.H;
}

TPieceView PieceViewOf(const TSkinWindow& window) {
  TPieceView v;
  v.Index = window.Index;
  v.Style = window.Style;
  v.Client = window.Client;
  v.ScrollX = window.ScrollX;
  v.ScrollY = window.ScrollY;
  return v;
}

int32_t ContentX(const TPieceView& view, int32_t x) { return x - view.Client.Left + view.ScrollX; }
int32_t ContentY(const TPieceView& view, int32_t y) { return y - view.Client.Top + view.ScrollY; }

int32_t PieceAtPoint(TGameState& g, const TPieceView& view, int32_t x, int32_t y) {
  const int32_t px = ContentX(view, x), py = ContentY(view, y);
  SortPieces(g, true);
  int32_t hit = -1;
  for (const TPieceOrderEntry& e : g.PieceOrder) {
    const TPieceRecord& p = g.Pieces[size_t(e.Index)];
    if (p.Window != view.Index || px < p.X || px >= p.X + p.BoxW || py < p.Y || py >= p.Y + p.BoxH) continue;
    const TDibImage& mask = g.Images.PieceMasks[0];
    const int32_t r = p.Rotation & 3;
    const int32_t mx = p.BoxX + px - p.X, my = p.BoxY + py - p.Y;
    if (mask.Width <= 0 || mx < 0 || my < 0 || mx >= TurnedMaskWidth(mask, r) || my >= TurnedMaskHeight(mask, r))
      continue;
    if (TurnedMaskCode(mask, r, mx, my) == p.Code) {
      hit = e.Index;
      break;
    }
  }
  SortPieces(g, false);
  return hit;
}

void InitPiecesForPlay(TGameState& g) {
  const int32_t n = LivePieceCount(g);
  for (int32_t i = 0; i < n; ++i) {
    TPieceRecord& p = g.Pieces[size_t(i)];
    p.Group = i;
    p.Window = 0;
    p.Rotation = g.GameLevel.Rotate ? uint8_t(g.Rng.Random(4)) : 0;
    p.Selected = 0;
    UpdatePieceRotation(g, p);
  }
}

void PlaceFramePiece(TGameState& g) {
  const int32_t frame = FramePieceIndex(g);
  if (frame < 0) return;
  TPieceRecord& p = g.Pieces[size_t(frame)];
  p.X = (g.Field.ContentW - g.GameLevel.ImageW) / 2;
  p.Y = (g.Field.ContentH - g.GameLevel.ImageH) / 2;
  p.Rotation = 0;
  UpdatePieceRotation(g, p);
}

bool IsInWeightGroup(const TGameState& g, int32_t piece) {
  const int32_t w = g.Play.WeightGroup;
  if (w < 0 || w >= LivePieceCount(g) || piece < 0 || piece >= LivePieceCount(g)) return false;
  return g.Pieces[size_t(piece)].Group == g.Pieces[size_t(w)].Group;
}

bool IsInFrameGroup(const TGameState& g, int32_t piece) {
  const int32_t frame = FramePieceIndex(g);
  if (frame < 0 || piece < 0 || piece >= LivePieceCount(g)) return false;
  return g.Pieces[size_t(piece)].Group == g.Pieces[size_t(frame)].Group;
}

void RaiseGroups(TGameState& g, bool selected) {
  const int32_t n = LivePieceCount(g);
  if (!selected) {
    const int32_t held = g.Play.HeldPiece;
    if (held < 0 || held >= n || IsInWeightGroup(g, held)) return;
    const int32_t old = g.Pieces[size_t(held)].Group;
    for (int32_t i = 0; i < n; ++i) {
      int32_t& group = g.Pieces[size_t(i)].Group;
      if (group == old)
        group = -1;
      else if (group > old)
        --group;
    }
    for (int32_t i = 0; i < n; ++i)
      if (g.Pieces[size_t(i)].Group == -1) g.Pieces[size_t(i)].Group = g.GameLevel.TotalTileNum - 1;
    return;
  }
  SortPieces(g, false);
  if (g.PieceOrder.empty()) return;
  const int32_t lift = g.PieceOrder.back().Group + 1000;
  for (int32_t i = 0; i < n; ++i)
    if (g.Pieces[size_t(i)].Selected) g.Pieces[size_t(i)].Group += lift;
  SortPieces(g, false);
  int32_t id = -1, last = 0;
  for (size_t k = 0; k < g.PieceOrder.size(); ++k) {
    const TPieceOrderEntry& e = g.PieceOrder[k];
    if (k == 0 || e.Group != last) ++id;
    last = e.Group;
    g.Pieces[size_t(e.Index)].Group = id;
  }
  SortPieces(g, false);
}

void SendWeightGroupToBottom(TGameState& g) {
  const int32_t n = LivePieceCount(g);
  const int32_t w = g.Play.WeightGroup;
  if (w < 0 || w >= n) return;
  const int32_t old = g.Pieces[size_t(w)].Group;
  const int32_t parked = g.GameLevel.TotalTileNum + 1000;
  for (int32_t i = 0; i < n; ++i) {
    int32_t& group = g.Pieces[size_t(i)].Group;
    if (group == old)
      group = parked;
    else if (group < old)
      ++group;
  }
  for (int32_t i = 0; i < n; ++i)
    if (g.Pieces[size_t(i)].Group == parked) g.Pieces[size_t(i)].Group = 0;
}

void ClearSelection(TGameState& g, const TPieceView& view) {
  g.Play.RedrawKind = 1;
  for (TPieceRecord& p : g.Pieces) p.Selected = 0;
  BringGroupsIntoView(g, view, false);
  g.Play.HasSelection = false;
  g.Host->SelectionChanged(false);
}

void RotateGroup(TGameState& g, const TPieceView& view, int32_t x, int32_t y, bool clockwise) {
  const int32_t n = LivePieceCount(g);
  if (g.Play.HasSelection) ClearSelection(g, view);
  // A piece is held only during a drag; a rotation without one turns the group under the
  // pointer and leaves nothing held afterwards.
  const bool wasHeld = g.Play.DragState == 1 && g.Play.HeldPiece >= 0 && g.Play.HeldPiece < n;
  if (!wasHeld) {
    g.Play.HeldPiece = PieceAtPoint(g, view, x, y);
    if (g.Play.HeldPiece < 0) return;
  }
  const int32_t held = g.Play.HeldPiece;
  auto release = [&] {
    if (!wasHeld) g.Play.HeldPiece = -1;
  };
  if (IsInFrameGroup(g, held)) {
    release();
    return;
  }
  if (!wasHeld) RaiseGroups(g, false);
  const int32_t group = g.Pieces[size_t(held)].Group;
  const uint8_t rotation = uint8_t((g.Pieces[size_t(held)].Rotation + (clockwise ? 1 : 3)) % 4);
  const int32_t px = ContentX(view, x), py = ContentY(view, y);
  for (int32_t i = 0; i < n; ++i) {
    TPieceRecord& p = g.Pieces[size_t(i)];
    if (p.Group != group) continue;
    const int32_t ox = p.X, oy = p.Y;
    if (clockwise) {
      p.X = px - (oy + p.BoxH - 1 - py);
      p.Y = py + (ox - px);
    } else {
      p.X = px + (oy - py);
      p.Y = py - (ox + p.BoxW - 1 - px);
    }
    p.Rotation = rotation;
    UpdatePieceRotation(g, p);
  }
  if (wasHeld) {
    g.Play.DragOffsetX = g.Play.DragOffsetX2 = g.Pieces[size_t(held)].X - px;
    g.Play.DragOffsetY = g.Play.DragOffsetY2 = g.Pieces[size_t(held)].Y - py;
  }
  release();
  g.Host->CheckSolved();
  NotifyModified(g);
}

TSkinRect HeldPiecesRect(const TGameState& g, const TPieceView& view) {
  TSkinRect r;
  ClearSkinRect(r);
  const int32_t n = LivePieceCount(g);
  const int32_t held = g.Play.HeldPiece;
  const int32_t group = held >= 0 && held < n ? g.Pieces[size_t(held)].Group : 0;
  const int32_t wood = g.GameOptions.WoodStyle != TWoodStyle::None ? g.GameOptions.WoodFrameWidth : 0;
  for (int32_t i = 0; i < n; ++i) {
    const TPieceRecord& p = g.Pieces[size_t(i)];
    if (!p.Selected && !(held >= 0 && held < n && p.Group == group)) continue;
    const int32_t left = view.Client.Left - view.ScrollX + p.X;
    const int32_t top = view.Client.Top - view.ScrollY + p.Y;
    IncludeInSkinRect(r, left, top, left + p.BoxW + wood - 1, top + p.BoxH + wood - 1);
  }
  return r;
}

void StartDrag(TGameState& g, const TPieceView& view, int32_t x, int32_t y, bool withSelection) {
  const int32_t held = g.Play.HeldPiece;
  if (held < 0 || held >= LivePieceCount(g)) return;
  RaiseGroups(g, false);
  const TPieceRecord& p = g.Pieces[size_t(held)];
  g.Play.DragOffsetX = g.Play.DragOffsetX2 = p.X - ContentX(view, x);
  g.Play.DragOffsetY = g.Play.DragOffsetY2 = p.Y - ContentY(view, y);
  g.Play.DragState = 1;
  g.Play.HasSelection = withSelection;
  g.Play.DragRect = HeldPiecesRect(g, view);
  g.Play.RedrawKind = 3;
  g.Host->DragRedraw(1);
}

void MoveHeld(TGameState& g, const TPieceView& active, const TPieceView* target, int32_t x, int32_t y,
              bool selectionMode) {
  const int32_t n = LivePieceCount(g);
  const int32_t held = g.Play.HeldPiece;
  if (held < 0 || held >= n) return;
  const TPieceView& v = target ? *target : active;
  const TPieceRecord& h = g.Pieces[size_t(held)];
  const int32_t dx = g.Play.DragOffsetX + ContentX(v, x) - h.X;
  const int32_t dy = g.Play.DragOffsetY + ContentY(v, y) - h.Y;
  const int32_t group = h.Group;
  for (int32_t i = 0; i < n; ++i) {
    TPieceRecord& p = g.Pieces[size_t(i)];
    if (selectionMode ? !p.Selected : p.Group != group) continue;
    p.X += dx;
    p.Y += dy;
    if (target) p.Window = uint8_t(target->Index);
  }
  NotifyModified(g);
  if (target) {
    g.Host->RefreshWindow(active.Index);
    g.Host->RefreshWindow(target->Index);
    g.Host->ActivateWindow(target->Index);
  }
  if (g.Play.RedrawKind == 3) {
    MoveSizeSkinRect(g.Play.DragRect, dx, dy, 0, 0);
    if (!target)
      g.Host->PaintHeld();
    else
      g.Host->DragRedraw(1);
  }
}

void MoveToOtherSide(TGameState& g, const TPieceView& view, int32_t x, int32_t y, bool selectionMode) {
  const int32_t n = LivePieceCount(g);
  const uint8_t side = view.Index == 0 ? 1 : 0;
  if (selectionMode) {
    for (int32_t i = 0; i < n; ++i)
      if (g.Pieces[size_t(i)].Selected) g.Pieces[size_t(i)].Window = side;
  } else {
    g.Play.HeldPiece = PieceAtPoint(g, view, x, y);
    if (g.Play.HeldPiece < 0) return;
    RaiseGroups(g, false);
    const int32_t group = g.Pieces[size_t(g.Play.HeldPiece)].Group;
    for (int32_t i = 0; i < n; ++i)
      if (g.Pieces[size_t(i)].Group == group) g.Pieces[size_t(i)].Window = side;
  }
  g.Play.HeldPiece = -1;
  NotifyModified(g);
}

TSolvedPercent SolvedPercent(TGameState& g, bool solved) {
  const int32_t total = g.GameLevel.TotalTileNum;
  if (!g.GameLoaded || total <= 0) return {-1, -1};
  SortPieces(g, false);
  int32_t groups = 0;
  for (size_t k = 1; k < g.PieceOrder.size(); ++k)
    if (g.PieceOrder[k].Group != g.PieceOrder[k - 1].Group) ++groups;
  if (groups == total - 1) ++groups;
  const int32_t percent = solved ? 100 : Round((long double)(total - groups) * 100 / total);
  return {groups, percent};
}

bool IsDistributedJigsaw(const std::vector<std::string>& distributed, const std::string& name) {
  for (const std::string& entry : distributed)
    if (SameTextIgnoringCase(entry, name)) return true;
  return false;
}
