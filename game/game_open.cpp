#include "game/game_open.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "engine/cut_jigsaw.h"
#include "foundation/dib_ops.h"
#include "foundation/file_helpers.h"
#include "foundation/level_table.h"
#include "foundation/numeric.h"
#include "foundation/picture_limits.h"
#include "foundation/picture_loading.h"
#include "foundation/text_format.h"
#include "game/embedded_file.h"
#include "game/emboss_maps.h"
#include "game/jigsaw_file.h"
#include "game/layout.h"
#include "game/picture_decode.h"
#include "game/piece_array.h"
#include "game/piece_order.h"
#include "game/pieces.h"
#include "game/window_commands.h"

// --- Sessions ---------------------------------------------------------------------------------

void ShowSessionProgress(TGameSession& s, const std::string& key, int32_t steps) {
  s.Game.Progress.Start(steps);
  s.Host.ShowProgress(key, steps);
}

void HideSessionProgress(TGameSession& s) { s.Host.HideProgress(); }

void ShowSessionMessage(TGameSession& s, const std::string& text) { s.Host.ShowMessage(text); }

// --- Windows ----------------------------------------------------------------------------------

void LayoutGameWindows(TSkinWindows& windows, TFieldArea& field, int32_t w, int32_t h) {
  field.ContentW = std::max(field.FieldW, w);
  field.ContentH = std::max(field.FieldH, h);
  TSkinWindow& first = windows.GameWindows[0];
  first.ContentWidth = field.ContentW;
  first.ContentHeight = field.ContentH;
  first.ScrollX = first.ScrollY = 0;
  ResizeSkinWindow(first, false);
  CopySkinWindowLayout(windows.GameWindows[1], first);
}

void SizeThumbnailWindow(TSkinWindows& windows, TDibImage& thumbImage, int32_t w, int32_t h) {
  TSkinWindow& t = windows.GameWindows[6];
  t.MaxClientWidth = std::max(w / 2, 1);
  t.MaxClientHeight = std::max(h / 2, 1);
  if (t.MaxClientHeight >= t.MaxClientWidth) {
    t.MinClientWidth = 40;
    t.MinClientHeight = 40 * t.MaxClientHeight / t.MaxClientWidth;
  } else {
    t.MinClientWidth = 40 * t.MaxClientWidth / t.MaxClientHeight;
    t.MinClientHeight = 40;
  }
  UpdateSkinWindowLimits(t);
  ResizeSkinWindow(t, true, w / 4, h / 4);
  // The picture is as large as the window's client shows, not as large as it may grow.
  CreateDib24(thumbImage, std::clamp(t.Client.Width, 1, t.MaxClientWidth),
              std::clamp(t.Client.Height, 1, t.MaxClientHeight));
}

void DrawThumbnailImage(TGameSession& s) {
  const TDibImage& pic = s.Game.Images.PictureImages[0];
  TDibImage& thumb = *s.ThumbImage;
  const TSkinWindow& t = s.Windows.GameWindows[6];
  if (pic.Width == 0 || thumb.Width == 0) return;
  const int32_t w = std::min(t.Client.Width, t.MaxClientWidth), h = std::min(t.Client.Height, t.MaxClientHeight);
  if (w < 1 || h < 1) return;
  if ((thumb.Width != w || thumb.Height != h) && !CreateDib24(thumb, w, h)) return;
  ScaleDibRect(thumb, w, h, pic, pic.Width, pic.Height);
}

// --- Pockets ----------------------------------------------------------------------------------

void UpdatePocketCaption(TGameSession& s, int32_t pocket) {
  TSkinWindow& w = s.Windows.GameWindows[size_t(pocket)];
  const std::string format = s.Lang ? GetLangString(*s.Lang, kLangPocket, "PocketCaption") : "Pocket %d (%d)";
  SetSkinWindowCaption(w, Utf8ToUtf16(WideFormat(format, {pocket - 1, w.PieceCount})));
}

void UpdateWindowContent(TGameSession& s, int32_t window) {
  const TGameState& g = s.Game;
  TSkinWindow& w = s.Windows.GameWindows[size_t(window)];
  int64_t right = 0, bottom = 0;
  for (int32_t i = 0; i < LivePieceCount(g); ++i) {
    const TPieceRecord& p = g.Pieces[size_t(i)];
    if (p.Window != window) continue;
    right = std::max<int64_t>(right, int64_t(p.X) + p.BoxW);
    bottom = std::max<int64_t>(bottom, int64_t(p.Y) + p.BoxH);
  }
  if (w.MaxClientWidth) right = std::min<int64_t>(right, w.MaxClientWidth);
  if (w.MaxClientHeight) bottom = std::min<int64_t>(bottom, w.MaxClientHeight);
  w.ContentWidth = int32_t(std::min<int64_t>(right, INT32_MAX));
  w.ContentHeight = int32_t(std::min<int64_t>(bottom, INT32_MAX));
  ResizeSkinWindow(w, false);
}

void ResetPocket(TGameSession& s, int32_t pocket) {
  TSkinWindow& w = s.Windows.GameWindows[size_t(pocket)];
  w.PieceCount = 0;
  ShowPocket(s, pocket, false);
  UpdatePocketCaption(s, pocket);
  UpdateWindowContent(s, pocket);
}

// --- Pictures ---------------------------------------------------------------------------------

bool BuildRotatedImages(TGameState& g) {
  TGameImages& im = g.Images;
  for (int r = 1; r < 4; ++r) {
    FreeDib(im.PictureImages[r]);
    FreeDib(im.PieceMasks[r]);
  }
  if (!g.GameLevel.Rotate) return true;
  // Pieces read their turn through the unturned picture and mask: nothing is turned ahead. The
  // six steps of the turns are still shown.
  for (int step = 0; step < 6; ++step) g.Progress.Step();
  return true;
}

int32_t ApplySeedRule(TRandom& rng, const TOpenChoices& choices) {
  if (choices.SeedPanelVisible && !choices.SeedText.empty()) {
    // A whole number only: digits followed by anything else count as no number.
    const char* text = choices.SeedText.c_str();
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text, &end, 10);
    if (errno == 0 && end != text && *end == '\0' && v >= INT32_MIN && v <= INT32_MAX)
      rng.RandSeed = uint32_t(int32_t(v));
  }
  return int32_t(rng.RandSeed);
}

bool ApplyLevelChoices(TLevelRecord& lv, const TLevelRecord& defaults, bool fitToScreen) {
  lv.Level = std::clamp(defaults.Level, 0, kLevelCount - 1);
  lv.Rotate = defaults.Rotate ? 1 : 0;
  lv.BorderStyle = defaults.BorderStyle != TBorderStyle::None ? TBorderStyle::Frame : TBorderStyle::None;
  lv.ShapeStyle = std::min(defaults.ShapeStyle, kLastShapeStyle);
  lv.SpreadOut = defaults.SpreadOut ? 1 : 0;
  lv.FitToScreen = fitToScreen ? 1 : 0;
  const int32_t w = fitToScreen ? lv.FitImageW : lv.ImageW;
  const int32_t h = fitToScreen ? lv.FitImageH : lv.ImageH;
  if (w <= 0 || h <= 0) return false;
  TLevelTable table{};
  BuildLevelTable(table, w, h, lv.ShapeStyle, lv.BorderStyle);
  const TLevelGrid& grid = table[size_t(lv.Level)];
  FillLevelFromGrid(lv, grid);
  return lv.TotalTileNum > 0 && lv.TotalTileNum <= 4000;
}

bool PrepareCutter(TGameSession& s) {
  if (s.Knobs.KnobTemplateImage) return true;
  if (!LoadKnobTemplateImage(*s.KnobTemplates)) return false;
  s.Knobs.KnobTemplateImage = &*s.KnobTemplates;
  return true;
}

void SwapGameImages(TGameImages& a, TGameImages& b) {
  for (int r = 0; r < 4; ++r) {
    std::swap(a.PictureImages[r], b.PictureImages[r]);
    std::swap(a.PieceMasks[r], b.PieceMasks[r]);
    std::swap(a.EmbossMaps[r], b.EmbossMaps[r]);
  }
}

void AdoptGame(TGameState& live, TGameState& fresh) {
  live.GameLevel = fresh.GameLevel;
  // The maps were built for this frame width; drawing must reserve the same margin.
  live.GameOptions.WoodFrameWidth = fresh.GameOptions.WoodFrameWidth;
  live.Pieces.swap(fresh.Pieces);
  live.PieceOrder.swap(fresh.PieceOrder);
  SwapGameImages(live.Images, fresh.Images);
  live.Rng = fresh.Rng;
  live.Play = TPlayState{};
  live.Play.WeightGroup = fresh.Play.WeightGroup;
  live.Field = fresh.Field;
  live.GameLoaded = true;
}

void AdoptOpenedGame(TGameSession& s, TGameState& fresh, const TOpenedGame& opened) {
  AdoptGame(s.Game, fresh);
  if (opened.Picture)
    std::swap(*s.LoadedPicture, *opened.Picture);
  else
    FreeDib(*s.LoadedPicture);
  std::swap(*s.StoreThumb.Picture, opened.Thumb);
  s.InfoText.assign(opened.Info.begin(), opened.Info.end());
  LayoutGameWindows(s.Windows, s.Game.Field, opened.PictureW, opened.PictureH);
  SizeThumbnailWindow(s.Windows, *s.ThumbImage, opened.PictureW, opened.PictureH);
  s.sJig = opened.Jig;
  s.sJigName = opened.JigName;
  s.sSolve = opened.Solve;
  s.SaveModified = s.AutoSaveModified = false;
}

namespace {

// A fresh game that borrows the live one's options, generator, progress and field sizes.
void StartFreshGame(TGameState& fresh, const TGameState& live) {
  fresh.CurrentLevel = live.CurrentLevel;
  fresh.DefaultLevel = live.DefaultLevel;
  fresh.Rng = live.Rng;
  fresh.Progress = live.Progress;
  fresh.GameOptions = live.GameOptions;
  fresh.PlaySettings = live.PlaySettings;
  fresh.Field = live.Field;
}

}  // namespace

bool StartJigsawGame(TGameSession& s, const std::string& path, const TOpenChoices& choices) {
  TGameState& live = s.Game;
  const TLevelRecord& cur = live.CurrentLevel;
  const bool rotate = cur.Rotate != 0;
  const bool effects = HasPieceEffects(live.GameOptions);
  const int32_t steps = 13 + (rotate ? 6 : 0) + (effects ? 1 + (rotate ? 3 : 0) : 0);
  if (!PrepareCutter(s)) {
    ShowSessionMessage(s, "The knob templates of the program are damaged.");
    return false;
  }
  const TAutoSaveHold hold(s);

  std::optional<TProgressScope> progress;
  progress.emplace(s, "Prog_OpenJig", steps);
  TGameState fresh;
  StartFreshGame(fresh, live);
  TLevelRecord& lv = fresh.GameLevel;
  lv = cur;
  auto fail = [&](const std::string& why) {
    progress.reset();  // the message never shows over the progress panel
    ShowSessionMessage(s, why);
    return false;
  };

  // The file again, this time whole: header, preview, description and picture.
  TBinaryReader f;
  TJigsawHeader header;
  std::vector<uint8_t> preview, description, picture;
  int64_t previewEnd;
  if (!f.Open(path) || !ReadJigsawHeader(f, header) || !ExtractEmbeddedBytes(f, PreviewKey, false, preview, previewEnd))
    return fail("Invalid Jigsaw");
  if (header.ImageW != lv.ImageW || header.ImageH != lv.ImageH || lv.SidePos[1] != previewEnd)
    return fail("Invalid Jigsaw");
  if (!PictureWithinBudget(lv.ImageW, lv.ImageH)) return fail(PictureTooLargeMessage(lv.ImageW, lv.ImageH));
  if (!ReadJigsawVariant(f, lv, description, picture)) return fail("Invalid Jigsaw");
  f.Close();
  fresh.Progress.Step();

  TImageControl storeThumb;
  if (!DecodePreview(*storeThumb.Picture, preview.data(), preview.size())) return fail("Invalid Jigsaw");

  // Its own header must tell the size the jigsaw's does before anything of that size is made.
  int32_t declaredW = 0, declaredH = 0;
  if (ReadPictureSize(picture.data(), picture.size(), declaredW, declaredH) &&
      (declaredW != lv.ImageW || declaredH != lv.ImageH))
    return fail("Invalid Jigsaw");
  // Fit to the screen: the cut works on the scaled picture.
  const bool fit = choices.FitToScreen && lv.FitImageW > 0 && lv.FitImageH > 0 &&
                   (lv.FitImageW != lv.ImageW || lv.FitImageH != lv.ImageH);
  TPictureDecode decode(std::move(picture), lv.ImageW, lv.ImageH, fit ? lv.FitImageW : 0, fit ? lv.FitImageH : 0);
  if (fit) {
    lv.ImageW = lv.FitImageW;
    lv.ImageH = lv.FitImageH;
  }
  if (lv.TotalTileNum <= 0 || lv.TotalTileNum >= kMaxPieceRecords || lv.TilePX <= 0 || lv.TilePY <= 0)
    return fail("Invalid Jigsaw");
  fresh.Field.ContentW = std::max(fresh.Field.FieldW, lv.ImageW);
  fresh.Field.ContentH = std::max(fresh.Field.FieldH, lv.ImageH);
  fresh.Progress.Step();
  fresh.Progress.Step();

  lv.GameSeed = ApplySeedRule(fresh.Rng, choices);

  if (!AllocPieces(fresh, lv.TotalTileNum + 1)) return fail("Invalid Jigsaw");
  fresh.Progress.Step();

  const int32_t before = lv.TotalTileNum;
  // The cut's messages wait for the picture: one that cannot be shown is the only message.
  std::vector<std::string> cutMessages;
  TCutTarget target{lv,
                    fresh.Pieces.data(),
                    fresh.Images.PieceMasks[0],
                    fresh.Rng,
                    fresh.Progress,
                    s.Knobs,
                    [&cutMessages](const std::string& m) { cutMessages.push_back(m); }};
  // A cut that failed has its messages shown; its map and records stand and the open goes on.
  CutJigsaw(target, s.Paths.sShapeFile);
  TDibHolder loaded;
  std::string why;
  if (!decode.Finish(*loaded, why)) return fail(why);
  for (const std::string& m : cutMessages) ShowSessionMessage(s, m);
  // The game draws from the loaded picture itself: a second picture-sized copy would only cost
  // memory and the time to touch it.
  ShareDib(*loaded, fresh.Images.PictureImages[0]);
  const TDibImage& mask = fresh.Images.PieceMasks[0];
  if (mask.Width != lv.ImageW + 5 || mask.Height != lv.ImageH + 5 || lv.TotalTileNum <= 0 ||
      lv.TotalTileNum > before + 1 || size_t(lv.TotalTileNum) > fresh.Pieces.size())
    return fail("Jigsaw has not been cut properly! Please reopen the puzzle.");

  // Play reads only the piece codes: the map keeps them alone, a third of its size.
  KeepDibFirstChannel(fresh.Images.PieceMasks[0]);
  if (!BuildRotatedImages(fresh)) return fail("Out of memory");
  InitPiecesForPlay(fresh);
  SpreadPieces(fresh, 0, lv.SpreadOut != 0);
  PlaceFramePiece(fresh);
  RebuildEmbossMaps(fresh);
  fresh.Play.WeightGroup = -1;

  // Everything worked: the new game replaces the running one.
  AdoptOpenedGame(
      s, fresh,
      {&*loaded, *storeThumb.Picture, description, loaded->Width, loaded->Height, path, FileStemOf(path), ""});
  SortPieces(live, false);
  for (int32_t pocket = 2; pocket <= 5; ++pocket) ResetPocket(s, pocket);
  return true;
}
