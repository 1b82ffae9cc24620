#include "game/saved_game.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstring>
#include <optional>
#include <vector>

#include "engine/emboss.h"
#include "foundation/file_helpers.h"
#include "foundation/picture_limits.h"
#include "foundation/picture_loading.h"
#include "game/embedded_file.h"
#include "game/emboss_maps.h"
#include "game/game_open.h"
#include "game/jigsaw_file.h"
#include "game/piece_array.h"
#include "game/piece_order.h"
#include "game/pieces.h"
#include "game/window_commands.h"

static_assert(std::endian::native == std::endian::little, "records are stored as they lie in memory");

namespace {

constexpr size_t kLevelIdentityBytes = offsetof(TLevelRecord, SideNum);
constexpr int64_t kBmpHeaders = 54;
constexpr int32_t kMaxCoordinate = 1 << 28;
constexpr int32_t kMaxWindowEdge = 1 << 20;

int64_t BmpFileSize(int32_t w, int32_t h) { return kBmpHeaders + ((int64_t(w) * 3 + 3) & ~int64_t(3)) * h; }

std::string StoredName(const std::string& name) { return name.substr(0, size_t(kMaxJigsawNameLength - 1)); }

bool SamePath(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (std::tolower(x) != std::tolower(y)) return false;
  }
  return true;
}

// The head of a saved game: everything before the embedded files.
struct TSavedHead {
  int32_t Seed = 0;
  int32_t StateOffset = 0;
  std::string Name;
  TLevelRecord Level{};
};

// The level record of a saved game must describe a game that can exist.
bool IsSaneLevel(const TLevelRecord& lv) {
  return IsSanePictureSize(lv.ImageW, lv.ImageH) && lv.TotalTileNum > 0 && lv.TotalTileNum < kMaxPieceRecords &&
         lv.TilePX > 0 && lv.TilePX <= lv.ImageW && lv.TilePY > 0 && lv.TileS > 0 &&
         lv.TileS <= std::max(lv.ImageW, lv.ImageH) && lv.KnobS >= 0 && lv.HalfKnobS >= 0 &&
         lv.KnobS <= std::max(lv.ImageW, lv.ImageH) && lv.HalfKnobS <= std::max(lv.ImageW, lv.ImageH) &&
         lv.Rotate <= 1 && lv.BorderStyle <= kLastBorderStyle && IsShapeStyle(int32_t(lv.ShapeStyle)) &&
         lv.SpreadOut <= 1 && lv.FitToScreen <= 1;
}

bool ReadHead(TBinaryReader& f, TSavedHead& head) {
  char magic[sizeof SavedGameMagic];
  if (!f.Read(magic, sizeof magic) || CheckSavedGameMagic(magic) != 10) return false;
  int32_t n;
  if (!f.ReadInt32(head.Seed) || !f.ReadInt32(head.StateOffset) || !f.ReadInt32(n)) return false;
  if (n < 1 || n > kMaxJigsawNameLength) return false;
  char name[kMaxJigsawNameLength];
  if (!f.Read(name, n)) return false;
  const char* zero = static_cast<const char*>(std::memchr(name, 0, size_t(n)));
  if (!zero) return false;
  head.Name.assign(name, size_t(zero - name));
  if (!f.Read(&head.Level, sizeof head.Level)) return false;
  return head.Level.GameSeed == head.Seed && IsSaneLevel(head.Level) && head.StateOffset > f.Position() &&
         head.StateOffset <= f.Size();
}

// Copies the first count bytes of a file into a writer.
bool CopyBytes(TBinaryReader& from, TBinaryWriter& to, int64_t count) {
  std::vector<uint8_t> chunk(size_t(std::min<int64_t>(count, 1 << 20)));
  while (count > 0) {
    const int64_t n = std::min<int64_t>(count, int64_t(chunk.size()));
    if (!from.Read(chunk.data(), n) || !to.Write(chunk.data(), n)) return false;
    count -= n;
  }
  return true;
}

// A whole file copied to another place the safe way.
bool CopyFileAtomic(const std::string& from, const std::string& to) {
  TBinaryReader r;
  TBinaryWriter w;
  return r.Open(from) && w.Create(to) && CopyBytes(r, w, r.Size()) && w.Commit();
}

bool EmbedPicture(TBinaryWriter& f, const TDibImage& image, uint8_t key) {
  std::vector<uint8_t> bytes;
  if (image.Width > 0 && !EncodeBmp24(image, bytes)) return false;
  return EmbedBytes(f, bytes, key, false);
}

// The cut map as the file holds it: the piece code, then 0, then the neutral light 128, even
// when the game keeps the codes alone.
bool EmbedCutMap(TBinaryWriter& f, const TDibImage& mask) {
  std::vector<uint8_t> bytes;
  if (mask.Width <= 0 || !EncodeBmp24(mask, bytes)) return false;
  if (mask.BytesPerPixel == 1) {
    const size_t rowBytes = (size_t(mask.Width) * 3 + 3) & ~size_t(3),
                 pixels = bytes.size() - size_t(mask.Height) * rowBytes;
    for (int32_t y = 0; y < mask.Height; ++y) {
      uint8_t* p = bytes.data() + pixels + size_t(y) * rowBytes;
      for (int32_t x = 0; x < mask.Width; ++x, p += 3) {
        p[1] = 0;
        p[2] = uint8_t(kNoLight);
      }
    }
  }
  return EmbedBytes(f, bytes, SavedCutMapKey, false);
}

bool WriteWholeFile(TGameSession& s, const std::string& path, int& error) {
  const TGameState& g = s.Game;
  const TDibImage& picture = g.Images.PictureImages[0];
  const TDibImage& mask = g.Images.PieceMasks[0];
  if (picture.Width == 0 || mask.Width == 0) return false;
  const std::string name = StoredName(s.sJigName);
  const int32_t n = int32_t(name.size()) + 1;
  std::vector<uint8_t> thumb;
  if (s.StoreThumb.Picture->Width > 0 && !EncodeBmp24(*s.StoreThumb.Picture, thumb)) return false;
  const int64_t stateOffset = int64_t(sizeof SavedGameMagic) + 12 + n + int64_t(sizeof(TLevelRecord)) + 4 +
                              int64_t(thumb.size()) + 4 + BmpFileSize(picture.Width, picture.Height) + 4 +
                              BmpFileSize(mask.Width, mask.Height) + 4 + int64_t(s.InfoText.size());
  if (stateOffset > INT32_MAX) return false;
  TProgress& progress = s.Game.Progress;
  TBinaryWriter f;
  const std::span<const uint8_t> info(reinterpret_cast<const uint8_t*>(s.InfoText.data()), s.InfoText.size());
  bool ok = f.Create(path) && f.Write(SavedGameMagic, sizeof SavedGameMagic) && f.WriteInt32(g.GameLevel.GameSeed) &&
            f.WriteInt32(int32_t(stateOffset)) && f.WriteInt32(n) && f.Write(name.c_str(), n) &&
            f.Write(&g.GameLevel, sizeof g.GameLevel) && EmbedBytes(f, thumb, PreviewKey, false);
  if (ok) progress.Step();
  ok = ok && EmbedPicture(f, picture, SavedPictureKey);
  if (ok) progress.Step();
  ok = ok && EmbedCutMap(f, mask);
  if (ok) progress.Step();
  ok = ok && EmbedBytes(f, info, SavedDescriptionKey, false) && f.Position() == stateOffset && WriteGameState(s, f);
  if (ok) progress.Step();
  ok = ok && f.Commit();
  if (!ok) error = f.Error();
  return ok;
}

// The pictures, the cut map and the text of a saved game, read and checked.
struct TSavedBody {
  TDibHolder Thumb, Picture, Mask;
  std::vector<uint8_t> Info;
  int64_t ThumbEnd = 0;
};

bool ReadThumb(TBinaryReader& f, TDibImage& thumb, int64_t& end, bool required) {
  std::vector<uint8_t> bytes;
  if (!ExtractEmbeddedBytes(f, PreviewKey, false, bytes, end)) return false;
  if (bytes.empty()) return !required;
  return DetectPictureKind(bytes.data(), bytes.size()) == TPictureKind::Bitmap &&
         DecodePreview(thumb, bytes.data(), bytes.size());
}

bool ReadBody(TBinaryReader& f, const TLevelRecord& lv, TSavedBody& body, TProgress& progress) {
  if (!ReadThumb(f, *body.Thumb, body.ThumbEnd, false)) return false;
  std::vector<uint8_t> bytes;
  int64_t end;
  if (!ExtractEmbeddedBytes(f, SavedPictureKey, false, bytes, end) ||
      !DecodeBmp(*body.Picture, bytes.data(), bytes.size()) || body.Picture->Width != lv.ImageW ||
      body.Picture->Height != lv.ImageH)
    return false;
  progress.Step();
  TDibHolder map;
  if (!ExtractEmbeddedBytes(f, SavedCutMapKey, false, bytes, end) || !DecodeBmp(*map, bytes.data(), bytes.size()))
    return false;
  std::vector<uint8_t>().swap(bytes);
  progress.Step();
  if (map->Width == lv.ImageW + 5 && map->Height == lv.ImageH + 5) {
    std::swap(*map, *body.Mask);
  } else if (map->Width == lv.ImageW && map->Height == lv.ImageH) {
    // An older cut map without its margin: the margin stays black.
    if (!CreateDib24(*body.Mask, lv.ImageW + 5, lv.ImageH + 5)) return false;
    for (int32_t y = 0; y < lv.ImageH; ++y)
      std::memcpy(DibScanLine(*body.Mask, y), DibScanLine(*map, y), size_t(lv.ImageW) * 3);
  } else {
    return false;
  }
  progress.Step();
  return ExtractEmbeddedBytes(f, SavedDescriptionKey, false, body.Info, end);
}

struct TPocketBlock {
  uint8_t Reserved;
  uint8_t Visible;
  int32_t Left, Top, Right, Bottom;
  int32_t ScrollX, ScrollY;
};

// The game-state block, read and checked against the game it belongs to.
struct TSavedState {
  TViewState View;
  TPlaySettings Settings;
  std::vector<TPieceRecord> Pieces;
  TPocketBlock Pockets[4];
  int32_t WeightGroup = -1;
};

bool SaneBinding(const TMouseBinding& b) { return b.Button <= 2 && b.Shift <= 7; }

bool SanePiece(const TPieceRecord& p, const TLevelRecord& lv, int32_t n) {
  if (p.Group < 0 || p.Group >= n || p.Window > 5 || p.Rotation > 3 || (p.Rotation && !lv.Rotate) || p.Selected > 1)
    return false;
  if (p.X < -kMaxCoordinate || p.X > kMaxCoordinate || p.Y < -kMaxCoordinate || p.Y > kMaxCoordinate) return false;
  if (p.PieceX < 0 || p.PieceY < 0 || p.PieceW < 1 || p.PieceH < 1 || p.PieceX > lv.ImageW - p.PieceW ||
      p.PieceY > lv.ImageH - p.PieceH)
    return false;
  for (int16_t nb : p.Neighbours)
    if (nb < -1 || nb >= n) return false;
  return true;
}

bool SanePocket(const TPocketBlock& b) {
  auto edge = [](int32_t v) { return v >= -kMaxWindowEdge && v <= kMaxWindowEdge; };
  return b.Visible <= 1 && edge(b.Left) && edge(b.Top) && edge(b.Right) && edge(b.Bottom) && b.Right >= b.Left &&
         b.Bottom >= b.Top && b.ScrollX >= 0 && b.ScrollY >= 0 && b.ScrollX <= kMaxCoordinate &&
         b.ScrollY <= kMaxCoordinate;
}

bool ReadState(TBinaryReader& f, const TLevelRecord& lv, TSavedState& st) {
  const int32_t n = lv.TotalTileNum;
  if (f.Remaining() < GameStateSize(n) - kTrailerSize) return false;
  if (!f.Read(&st.View, sizeof st.View) || !f.Read(&st.Settings, sizeof st.Settings)) return false;
  for (int32_t c : st.View.WindowBkg)
    if (c < 0 || c > 0xFFFFFF) return false;
  if (st.View.lBkg < 0 || st.View.lBkg > 0xFFFFFF) return false;
  const TPlaySettings& ps = st.Settings;
  if (!SaneBinding(ps.RotCW) || !SaneBinding(ps.RotCCW) || !SaneBinding(ps.MoveOW) || ps.SingleMainWindow > 1 ||
      ps.ClickToDrag > 1)
    return false;
  st.Pieces.assign(size_t(n) + 1, TPieceRecord{});  // the records the game allocates: one spare
  if (!f.Read(st.Pieces.data(), int64_t(n) * int64_t(sizeof(TPieceRecord)))) return false;
  for (int32_t i = 0; i < n; ++i)
    if (!SanePiece(st.Pieces[size_t(i)], lv, n)) return false;
  for (TPocketBlock& b : st.Pockets) {
    if (!f.Read(&b.Reserved, 1) || !f.Read(&b.Visible, 1) || !f.ReadInt32(b.Left) || !f.ReadInt32(b.Top) ||
        !f.ReadInt32(b.Right) || !f.ReadInt32(b.Bottom) || !f.ReadInt32(b.ScrollX) || !f.ReadInt32(b.ScrollY))
      return false;
    if (!SanePocket(b)) return false;
  }
  st.WeightGroup = -1;
  if (f.Remaining() >= kTrailerSize) {
    int32_t stamp, weight;
    if (!f.ReadInt32(stamp) || !f.ReadInt32(weight)) return false;
    if (stamp == GameStateStamp) {
      if (weight < -1 || weight >= n) return false;
      st.WeightGroup = weight;
    }
  }
  return true;
}

// The boxes stored with the pieces must be the ones their masks give.
bool BoxesMatchMasks(TGameState& g) {
  for (int32_t i = 0; i < LivePieceCount(g); ++i) {
    const TPieceRecord& p = g.Pieces[size_t(i)];
    const TPieceBox b = PieceRotatedBounds(g, p, p.Rotation);
    if (b.X != p.BoxX || b.Y != p.BoxY || b.W != p.BoxW || b.H != p.BoxH) return false;
  }
  return true;
}

void ApplyPockets(TGameSession& s, const TSavedState& st) {
  TSkinWindows& ws = s.Windows;
  for (int32_t pocket = 2; pocket <= 5; ++pocket) {
    TSkinWindow& w = ws.GameWindows[size_t(pocket)];
    w.MaxClientWidth = s.Game.Field.FieldW;
    w.MaxClientHeight = s.Game.Field.FieldH;
    UpdateSkinWindowLimits(w);
    w.PieceCount = 0;
    ShowPocket(s, pocket, false);
    UpdatePocketCaption(s, pocket);
  }
  SortPieces(s.Game, false);
  for (int32_t k = 0; k < 4; ++k) {
    const TPocketBlock& b = st.Pockets[k];
    TSkinWindow& w = ws.GameWindows[size_t(2 + k)];
    ShowPocket(s, 2 + k, b.Visible != 0);
    SetSkinRectEdges(w.Outer, b.Left, b.Top, b.Right, b.Bottom);
    ResizeSkinWindow(w, false);
    if (b.Reserved == 0) {
      w.ScrollX = b.ScrollX;
      w.ScrollY = b.ScrollY;
      w.PieceCount = CountWindowPieces(s.Game, w.Index, false);
      UpdatePocketCaption(s, 2 + k);
      UpdateWindowContent(s, 2 + k);
    }
  }
}

}  // namespace

int32_t CheckSavedGameMagic(const char* buffer) {
  return std::memcmp(buffer, SavedGameMagic, sizeof SavedGameMagic) == 0 ? 10 : 0;
}

int64_t GameStateSize(int32_t pieceCount) {
  return int64_t(sizeof(TViewState)) + int64_t(sizeof(TPlaySettings)) +
         int64_t(pieceCount) * int64_t(sizeof(TPieceRecord)) + 4 * kPocketBlockSize + kTrailerSize;
}

bool WriteGameState(TGameSession& s, TBinaryWriter& f) {
  const TGameState& g = s.Game;
  const int32_t n = LivePieceCount(g);
  if (!f.Write(&s.ViewState, sizeof s.ViewState) || !f.Write(&g.PlaySettings, sizeof g.PlaySettings) ||
      !f.Write(g.Pieces.data(), int64_t(n) * int64_t(sizeof(TPieceRecord))))
    return false;
  for (int32_t pocket = 2; pocket <= 5; ++pocket) {
    const TSkinWindow& w = s.Windows.GameWindows[size_t(pocket)];
    const uint8_t head[2] = {0, uint8_t(w.Visible ? 1 : 0)};
    if (!f.Write(head, 2) || !f.WriteInt32(w.Outer.Left) || !f.WriteInt32(w.Outer.Top) ||
        !f.WriteInt32(w.Outer.Right) || !f.WriteInt32(w.Outer.Bottom) || !f.WriteInt32(w.ScrollX) ||
        !f.WriteInt32(w.ScrollY))
      return false;
  }
  const uint8_t zeros[256] = {};
  return f.WriteInt32(GameStateStamp) && f.WriteInt32(g.Play.WeightGroup) && f.Write(zeros, sizeof zeros);
}

bool RewriteGameStateInPlace(TGameSession& s, const std::string& path) {
  const TGameState& g = s.Game;
  if (!g.GameLoaded) return false;
  if (!IsRegularFile(path)) return false;
  TBinaryReader r;
  TSavedHead head;
  if (!r.Open(path) || !ReadHead(r, head)) return false;
  // The same game: seed, name, level record, and embedded pictures of the game's sizes.
  if (head.Seed != g.GameLevel.GameSeed || head.Name != StoredName(s.sJigName) ||
      std::memcmp(&head.Level, &g.GameLevel, kLevelIdentityBytes) != 0 || head.Level.JigTag != g.GameLevel.JigTag)
    return false;
  int32_t thumbSize, pictureSize, maskSize, infoSize;
  if (!SkipEmbeddedFile(r, thumbSize) || !SkipEmbeddedFile(r, pictureSize) || !SkipEmbeddedFile(r, maskSize) ||
      !SkipEmbeddedFile(r, infoSize) || r.Position() != head.StateOffset)
    return false;
  const TDibImage& mask = g.Images.PieceMasks[0];
  if (pictureSize != BmpFileSize(g.GameLevel.ImageW, g.GameLevel.ImageH) ||
      maskSize != BmpFileSize(mask.Width, mask.Height) ||
      r.Size() - head.StateOffset != GameStateSize(LivePieceCount(g)))
    return false;
  // Everything before the state block is copied as it stands; the copy replaces the file.
  TBinaryWriter w;
  return r.Seek(0) && w.Create(path) && CopyBytes(r, w, head.StateOffset) && WriteGameState(s, w) && w.Commit();
}

bool SaveGame(TGameSession& s, const std::string& path, bool isAutoSave) {
  if (s.SaveRunning || !s.Game.GameLoaded) return false;
  s.SaveRunning = true;
  const TAutoSaveHold hold(s);
  struct TRelease {
    TGameSession& s;
    ~TRelease() { s.SaveRunning = false; }
  } release{s};

  std::optional<TProgressScope> progress;
  progress.emplace(s, isAutoSave ? "Prog_AutoSaveSolve" : "Prog_SaveSolve", 1);
  bool written = RewriteGameStateInPlace(s, path);
  int error = 0;
  if (!written) {
    // The whole file takes four steps, under the save's own caption even for the autosave.
    progress.emplace(s, "Prog_SaveSolve", 4);
    written = WriteWholeFile(s, path, error);
  }
  if (!written) {
    progress.reset();
    // An autosave that keeps failing says so once, not at every interval.
    if (!isAutoSave || !s.AutoSaveFailed)
      ShowSessionMessage(s, FailureText("Cannot save the game to \"" + path + "\"", error));
    if (isAutoSave) s.AutoSaveFailed = true;
    return false;
  }
  s.AutoSaveFailed = false;
  bool autosaveCurrent = true;
  if (!isAutoSave && !SamePath(path, s.Paths.sAutoSave) && !s.Paths.sAutoSave.empty())
    autosaveCurrent = RewriteGameStateInPlace(s, s.Paths.sAutoSave) || CopyFileAtomic(path, s.Paths.sAutoSave);
  if (!isAutoSave) s.SaveModified = false;
  // When the autosave could not follow, the next autosave tick tries again.
  if (autosaveCurrent) s.AutoSaveModified = false;
  return true;
}

bool OpenSavedGameFile(TGameSession& s, const std::string& path, TSavedOpenMode mode, TImageControl* load) {
  TBinaryReader f;
  TSavedHead head;
  if (mode == OpenSavedSelect || mode == OpenSavedThumbnail) {
    TDibHolder thumb;
    int64_t thumbEnd;
    if (!f.Open(path) || !ReadHead(f, head) || !ReadThumb(f, *thumb, thumbEnd, true)) return false;
    if (load) std::swap(*load->Picture, *thumb);
    if (mode == OpenSavedSelect) {
      s.sSvJigName = head.Name;
      TLevelRecord& cur = s.Game.CurrentLevel;
      cur = head.Level;
      cur.SideNum = 1;
      cur.SideInd = 0;
      cur.SidePos[1] = int32_t(thumbEnd);
    }
    return true;
  }
  if (mode != OpenSavedContinue) return false;

  TGameState& live = s.Game;
  const TAutoSaveHold hold(s);
  std::optional<TProgressScope> progress;
  auto refuse = [&] {
    progress.reset();  // the message never shows over the progress panel
    ShowSessionMessage(s, "\"" + path + "\" is no saved game of this program or is damaged.");
    return false;
  };
  if (!f.Open(path)) return refuse();
  char magic[sizeof SavedGameMagic] = {};
  if (!f.Read(magic, sizeof magic) || CheckSavedGameMagic(magic) != 10 || !f.Seek(0) || !ReadHead(f, head))
    return refuse();
  const TLevelRecord& lv = head.Level;
  if (!PictureWithinBudget(lv.ImageW, lv.ImageH)) {
    progress.reset();
    ShowSessionMessage(s, PictureTooLargeMessage(lv.ImageW, lv.ImageH));
    return false;
  }
  const bool rotate = lv.Rotate != 0;
  const bool effects = HasPieceEffects(live.GameOptions);
  progress.emplace(s, "Prog_OpenJig", 5 + (rotate ? 6 : 0) + (effects ? 1 + (rotate ? 3 : 0) : 0));

  TGameState fresh;
  fresh.Rng = live.Rng;
  fresh.Progress = live.Progress;
  fresh.GameOptions = live.GameOptions;
  fresh.Field = live.Field;
  fresh.GameLevel = lv;
  fresh.GameLevel.SideNum = 1;
  fresh.GameLevel.SideInd = 0;

  TSavedBody body;
  if (!ReadBody(f, lv, body, fresh.Progress) || f.Position() != head.StateOffset) return refuse();
  fresh.GameLevel.SidePos[1] = int32_t(body.ThumbEnd);
  TSavedState st;
  if (!ReadState(f, lv, st)) return refuse();
  f.Close();

  std::swap(fresh.Images.PictureImages[0], *body.Picture);
  std::swap(fresh.Images.PieceMasks[0], *body.Mask);
  KeepDibFirstChannel(fresh.Images.PieceMasks[0]);
  fresh.Progress.Step();
  fresh.Field.ContentW = std::max(fresh.Field.FieldW, lv.ImageW);
  fresh.Field.ContentH = std::max(fresh.Field.FieldH, lv.ImageH);
  if (!BuildRotatedImages(fresh)) return refuse();
  fresh.Pieces.swap(st.Pieces);
  fresh.PieceOrder.assign(fresh.Pieces.size(), TPieceOrderEntry{0, 0});
  if (!BoxesMatchMasks(fresh)) return refuse();
  fresh.PlaySettings = st.Settings;
  fresh.Play.WeightGroup = st.WeightGroup;
  fresh.Progress.Step();
  RebuildEmbossMaps(fresh);

  // The file is good: it replaces the running game.
  AdoptOpenedGame(s, fresh, {nullptr, *body.Thumb, body.Info, lv.ImageW, lv.ImageH, head.Name, head.Name, path});
  // A game autosaved between clicks may hold selected pieces: they are the selection again,
  // which the next click clears as usual.
  for (int32_t i = 0; i < LivePieceCount(live); ++i) live.Play.HasSelection |= live.Pieces[size_t(i)].Selected != 0;
  live.Host->SelectionChanged(live.Play.HasSelection);
  live.PlaySettings = st.Settings;
  live.CurrentLevel = live.GameLevel;
  s.ViewState = st.View;
  ApplyPockets(s, st);
  SortPieces(live, false);
  s.sSvJigName = head.Name;
  return true;
}

bool AutoSaveTick(TGameSession& s, double now) {
  if (!s.Game.GameLoaded || !s.AutoSave.Enabled || !s.AutoSaveModified || s.AutoSaveHold || s.SaveRunning) return false;
  // The field ignores the mouse while a save shows its progress: a save in the middle of a
  // drag (pieces, the band, a window) would swallow the release.
  if (s.Game.Play.DragState != 0 || (s.Windows.SkinDrag.Window && s.Windows.SkinDrag.HitCode != 0)) return false;
  if (now - s.LastAutoSaveTime < double(s.AutoSave.Interval) * 60.0) return false;
  s.LastAutoSaveTime = now;
  return SaveGame(s, s.Paths.sAutoSave, true);
}
