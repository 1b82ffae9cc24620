// Joining a dropped group with the true neighbours that lie close to their place, and the
// check for a finished puzzle.
#include <algorithm>

#include "foundation/numeric.h"
#include "game/emboss_maps.h"
#include "game/field.h"
#include "game/piece_order.h"
#include "game/pieces.h"
#include "platform/sound.h"

namespace {

int32_t CountGroup(const TGameState& g, int32_t group) {
  int32_t n = 0;
  for (int32_t i = 0; i < LivePieceCount(g); ++i) n += g.Pieces[size_t(i)].Group == group;
  return n;
}

bool OnCutEdge(const TLevelRecord& lv, const TPieceRecord& q) {
  return q.PieceX == lv.JigsL || q.PieceY == lv.JigsT || q.PieceX + q.PieceW - 1 == lv.JigsR ||
         q.PieceY + q.PieceH - 1 == lv.JigsB;
}

struct TCandidate {
  int32_t N = -1;
  TSnapOffset E{0, 0};
  int32_t Dx = 0, Dy = 0;
};

bool Near(const TPieceRecord& p, const TPieceRecord& n, TSnapOffset e, int32_t t, TCandidate& c) {
  const int32_t dx = p.X - n.X, dy = p.Y - n.Y;
  if (std::abs(int64_t(dx) - e.X) >= t || std::abs(int64_t(dy) - e.Y) >= t) return false;
  c.E = e;
  c.Dx = dx;
  c.Dy = dy;
  return true;
}

// The first neighbour of piece i that lies close enough to its place, or N = -1.
TCandidate FindCandidate(const TGameState& g, int32_t i, int32_t group, int32_t r, int32_t window, int32_t t) {
  const int32_t n = LivePieceCount(g), frame = FramePieceIndex(g);
  const TPieceRecord& p = g.Pieces[size_t(i)];
  TCandidate c;
  auto eligible = [&](const TPieceRecord& q) { return q.Group != group && q.Rotation == r && q.Window == window; };
  if (i == frame) {
    for (int32_t k = 0; k < n; ++k) {
      if (k == frame) continue;
      const TPieceRecord& q = g.Pieces[size_t(k)];
      if (!eligible(q) || !OnCutEdge(g.GameLevel, q)) continue;
      if (Near(p, q, {p.PieceX - q.PieceX, p.PieceY - q.PieceY}, t, c)) {
        c.N = k;
        return c;
      }
    }
    return c;
  }
  for (int16_t slot : p.Neighbours) {
    if (slot < 0 || slot >= n) continue;
    const TPieceRecord& q = g.Pieces[size_t(slot)];
    if (!eligible(q)) continue;
    if (Near(p, q, ExpectedOffset(p, q, r), t, c)) {
      c.N = slot;
      return c;
    }
  }
  return c;
}

// The centre of a piece's box, pushed to the box's edge where the piece lies on the cut edge.
void EdgeCentre(const TLevelRecord& lv, const TPieceRecord& q, int32_t& cx, int32_t& cy) {
  cx = q.X + q.BoxW / 2;
  cy = q.Y + q.BoxH / 2;
  if (q.PieceX == lv.JigsL)
    cx = q.X;
  else if (q.PieceX + q.PieceW - 1 == lv.JigsR)
    cx = q.X + q.BoxW - 1;
  if (q.PieceY == lv.JigsT)
    cy = q.Y;
  else if (q.PieceY + q.PieceH - 1 == lv.JigsB)
    cy = q.Y + q.BoxH - 1;
}

void ShowStar(TField& f, int32_t pi, int32_t ni) {
  TGameState& g = f.Game;
  const TPieceRecord& p = g.Pieces[size_t(pi)];
  const TPieceRecord& n = g.Pieces[size_t(ni)];
  const int32_t frame = FramePieceIndex(g);
  int32_t cx, cy;
  if (pi == frame) {
    EdgeCentre(g.GameLevel, n, cx, cy);
  } else if (ni == frame) {
    EdgeCentre(g.GameLevel, p, cx, cy);
  } else {
    cx = (p.X + p.BoxW / 2 + n.X + n.BoxW / 2) / 2;
    cy = (p.Y + p.BoxH / 2 + n.Y + n.BoxH / 2) / 2;
  }
  const TSkinWindow& w = f.Windows.GameWindows[p.Window % kGameWindowCount];
  TStarState& s = f.Star;
  s.Window = p.Window;
  s.X = w.Client.Left - w.ScrollX + cx - 11;
  s.Y = w.Client.Top - w.ScrollY + cy - 11;
  SetSkinRectBounds(s.Rect, s.X, s.Y, kStarSize, kStarSize);
  const TSkinWindow& glass = f.Windows.GlassWindow;
  if (glass.Visible)
    IncludeInSkinRect(s.Rect, glass.Outer.Left, glass.Outer.Top, glass.Outer.Right, glass.Outer.Bottom);
  for (int32_t k = 0; k < kStarFrames; ++k) {
    s.Frame = k;
    f.SmallRect = s.Rect;
    g.Play.RedrawKind = kRedrawSmall;
    Redraw(f);
    f.Host.Wait(kStarFrameMs);
  }
  s.Frame = -1;
}

}  // namespace

int32_t SnapThreshold(const TGameState& g) {
  return Round((long double)g.GameLevel.HalfKnobS * g.GameOptions.StuckKoef / 10);
}

TSnapOffset ExpectedOffset(const TPieceRecord& p, const TPieceRecord& n, int32_t r) {
  switch (r & 3) {
    case 1: return {(n.PieceY + n.PieceH) - (p.PieceY + p.PieceH), p.PieceX - n.PieceX};
    case 2: return {(n.PieceX + n.PieceW) - (p.PieceX + p.PieceW), (n.PieceY + n.PieceH) - (p.PieceY + p.PieceH)};
    case 3: return {p.PieceY - n.PieceY, (n.PieceX + n.PieceW) - (p.PieceX + p.PieceW)};
    default: return {p.PieceX - n.PieceX, p.PieceY - n.PieceY};
  }
}

void SnapDroppedGroup(TField& f) {
  TGameState& g = f.Game;
  const int32_t n = LivePieceCount(g);
  const int32_t held = g.Play.HeldPiece;
  if (held >= 0 && held < n) {
    const int32_t group = g.Pieces[size_t(held)].Group;
    const int32_t r = g.Pieces[size_t(held)].Rotation;
    const int32_t t = SnapThreshold(g);
    const TSkinWindow* active = ActiveWindow(f);
    const int32_t window = active ? active->Index : g.Pieces[size_t(held)].Window;
    const int32_t frame = FramePieceIndex(g);
    int32_t lastP = -1, lastN = -1;
    for (int32_t i = 0; i < n; ++i) {
      if (g.Pieces[size_t(i)].Group != group || g.Pieces[size_t(i)].Rotation != r) continue;
      const TCandidate c = FindCandidate(g, i, group, r, window, t);
      if (c.N < 0) continue;
      const int32_t other = g.Pieces[size_t(c.N)].Group;
      const int32_t nOther = CountGroup(g, other), nGroup = CountGroup(g, group);
      const bool frameInGroup = frame >= 0 && g.Pieces[size_t(frame)].Group == group;
      const bool frameInOther = frame >= 0 && g.Pieces[size_t(frame)].Group == other;
      const int32_t sx = c.E.X - c.Dx, sy = c.E.Y - c.Dy;
      if (frameInGroup || (nOther < nGroup && !frameInOther)) {
        for (int32_t k = 0; k < n; ++k) {
          TPieceRecord& q = g.Pieces[size_t(k)];
          if (q.Group != other) continue;
          MergeGroups(g, k, other, group);
          q.X -= sx;
          q.Y -= sy;
          q.Group = group;
        }
      } else {
        for (int32_t k = 0; k < n; ++k) {
          TPieceRecord& q = g.Pieces[size_t(k)];
          if (q.Group != group) continue;
          MergeGroups(g, k, group, other);
          q.X += sx;
          q.Y += sy;
        }
        for (int32_t k = 0; k < n; ++k)
          if (g.Pieces[size_t(k)].Group == other) g.Pieces[size_t(k)].Group = group;
      }
      lastP = i;
      lastN = c.N;
    }
    if (lastP >= 0) {
      if (f.SoundPlay) PlaySoundFile(f.ProgramDir + "set.wav", false);
      SendWeightGroupToBottom(g);
      SortPieces(g, false);
      g.Play.RedrawKind = kRedrawField;
      Redraw(f);
      if (f.ShowJoin) ShowStar(f, lastP, lastN);
    }
  }
  g.Play.HeldPiece = -1;
  g.Play.DragState = 0;
  CheckSolved(f);
  NotifyModified(g);
}

void CheckSolved(TField& f) {
  TGameState& g = f.Game;
  const int32_t n = LivePieceCount(g);
  if (f.Solved || !g.GameLoaded || n <= 0) return;
  const TPieceRecord& first = g.Pieces[0];
  // Piece 0 is tested too: a one-piece group rotated on its own is not solved either.
  for (int32_t i = 0; i < n; ++i) {
    const TPieceRecord& p = g.Pieces[size_t(i)];
    if (p.Group != first.Group || p.Rotation != 0) return;
  }
  f.Solved = true;
  f.Host.SaveImageEnabled(true);
  // Piece 0 goes to the field's centring offset, but never so far that the picture's top left
  // (a frame, a picture larger than the field) lies left of or above the content, where no
  // scrolling reaches.
  const int32_t tx = std::max((g.Field.FieldW - g.GameLevel.ImageW) / 2, first.PieceX);
  const int32_t ty = std::max((g.Field.FieldH - g.GameLevel.ImageH) / 2, first.PieceY);
  const int32_t dx = tx - first.X, dy = ty - first.Y;
  for (int32_t i = 0; i < n; ++i) {
    g.Pieces[size_t(i)].X += dx;
    g.Pieces[size_t(i)].Y += dy;
  }
  NotifyModified(g);
  g.Play.RedrawKind = kRedrawField;
  Redraw(f);
  if (f.SoundPlay) PlaySoundFile(f.ProgramDir + "win.wav", true);
  if (f.Host.ShowFinish() == 1) f.Host.SaveSolvedImage();
}
