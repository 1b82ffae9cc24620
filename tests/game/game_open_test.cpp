#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>

#include "engine/emboss.h"
#include "engine/grid_cut.h"
#include "foundation/dib_ops.h"
#include "foundation/picture_loading.h"
#include "game/embedded_file.h"
#include "game/piece_array.h"
#include "game/pieces.h"
#include "session_fixture.h"
#include "support/file_bytes.h"
#include "support/qt_picture_bytes.h"
#include "support/recording_host.h"

namespace {

TEST(SeedRule, TypedWholeNumbersCountOnlyInTheVisiblePanel) {
  struct TCase {
    bool visible;
    const char* text;
    bool typed;
    int32_t expected;
  };
  const TCase cases[] = {
      {true, "12345", true, 12345},
      {true, "-7", true, -7},
      {true, "2147483647", true, 2147483647},
      {true, "12345abc", false, 0},     // digits followed by letters: no number
      {true, "99999999999", false, 0},  // beyond 32 bits
      {true, "-2147483648", true, INT32_MIN},
      {true, "2147483648", false, 0},  // one past either end of 32 bits
      {true, "-2147483649", false, 0},
      {true, "", false, 0},
      {false, "12345", false, 0},  // a hidden panel is never read
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.text);
    TRandom rng{0xBEEF1234u};
    TOpenChoices choices;
    choices.SeedPanelVisible = c.visible;
    choices.SeedText = c.text;
    const int32_t seed = ApplySeedRule(rng, choices);
    EXPECT_EQ(seed, c.typed ? c.expected : int32_t(0xBEEF1234u));
    EXPECT_EQ(int32_t(rng.RandSeed), seed);  // the cut draws from the seed
  }
}

// Choices out of range open as the nearest one in range; the flags are read as flags; the fitted
// size is cut when asked, and a picture of no size is refused.
TEST(LevelChoices, OutOfRangeChoicesOpenAsTheNearestInRange) {
  const auto open = [](TLevelRecord defaults, bool fit, TLevelRecord& lv) {
    lv = TLevelRecord{};
    lv.ImageW = 800, lv.ImageH = 600, lv.FitImageW = 400, lv.FitImageH = 300;
    return ApplyLevelChoices(lv, defaults, fit);
  };
  TLevelRecord plain{}, odd{}, a, b;
  plain.Level = 0;
  plain.ShapeStyle = kLastShapeStyle;
  plain.BorderStyle = TBorderStyle::Frame;
  plain.Rotate = 1;
  plain.SpreadOut = 1;
  odd = plain;
  odd.Level = -3;
  odd.ShapeStyle = TShapeStyle(uint8_t(kLastShapeStyle) + 1);
  odd.BorderStyle = TBorderStyle(7);
  odd.Rotate = 9;
  odd.SpreadOut = 200;
  ASSERT_TRUE(open(plain, false, a));
  ASSERT_TRUE(open(odd, false, b));
  EXPECT_EQ(b.Level, 0);
  EXPECT_EQ(b.ShapeStyle, kLastShapeStyle);
  EXPECT_EQ(b.BorderStyle, TBorderStyle::Frame);
  EXPECT_EQ(b.Rotate, 1);
  EXPECT_EQ(b.SpreadOut, 1);
  EXPECT_EQ(b.FitToScreen, 0);
  EXPECT_EQ(b.TotalTileNum, a.TotalTileNum);
  EXPECT_EQ(b.TileS, a.TileS);

  plain.Level = kLevelCount - 1;
  odd.Level = kLevelCount;
  ASSERT_TRUE(open(plain, false, a));
  ASSERT_TRUE(open(odd, false, b));
  EXPECT_EQ(b.Level, kLevelCount - 1);
  EXPECT_EQ(b.TotalTileNum, a.TotalTileNum);

  // Each choice reaches the record unchanged when it is in range.
  TLevelRecord none{};
  none.Level = 1;
  ASSERT_TRUE(open(none, false, a));
  EXPECT_EQ(a.Level, 1);
  EXPECT_EQ(a.BorderStyle, TBorderStyle::None);
  EXPECT_EQ(a.ShapeStyle, TShapeStyle::Irregular);
  EXPECT_EQ(a.Rotate, 0);
  EXPECT_EQ(a.SpreadOut, 0);
  // The fitted picture, a quarter of the area, has fewer pieces at the same level.
  ASSERT_TRUE(open(none, true, b));
  EXPECT_EQ(b.FitToScreen, 1);
  EXPECT_LT(b.TotalTileNum, a.TotalTileNum);

  TLevelRecord lv{};
  lv.ImageW = 0, lv.ImageH = 600, lv.FitImageW = 400, lv.FitImageH = 300;
  EXPECT_FALSE(ApplyLevelChoices(lv, none, false));
  EXPECT_TRUE(ApplyLevelChoices(lv, none, true));
  lv.ImageW = 800, lv.FitImageH = 0;
  EXPECT_TRUE(ApplyLevelChoices(lv, none, false));
  EXPECT_FALSE(ApplyLevelChoices(lv, none, true));
}

// The parts of a packed jigsaw, for tests that pack them again changed.
struct TJigsawParts {
  TJigsawHeader Header;
  std::vector<uint8_t> Preview, Description, Picture;
};

bool ReadJigsawParts(const std::string& path, TJigsawParts& parts) {
  TBinaryReader r;
  int64_t end;
  if (!r.Open(path) || !ReadJigsawHeader(r, parts.Header) ||
      !ExtractEmbeddedBytes(r, PreviewKey, false, parts.Preview, end))
    return false;
  TLevelRecord lv{};
  lv.SideNum = 1;
  lv.SidePos[1] = int32_t(end);
  return ReadJigsawVariant(r, lv, parts.Description, parts.Picture);
}

class GameOpen : public ::testing::Test {
 protected:
  void SetUp() override {
    SetupTestSession(s, dir);
    jigsaw = PackTestJigsaw(dir, "gradient", 240, 180);
    ASSERT_FALSE(jigsaw.empty());
  }
  TTempFolder dir;
  TTestSession s;
  std::string jigsaw;
};

TEST_F(GameOpen, AFixedSeedReplaysTheWholeOpen) {
  ASSERT_TRUE(OpenTestGame(s, jigsaw, 11, 5, true, true));
  TTestSession again;
  SetupTestSession(again, dir);
  again.Game.Rng.RandSeed = 999;  // the typed seed decides, not the generator's state
  ASSERT_TRUE(OpenTestGame(again, jigsaw, 11, 5, true, true));
  EXPECT_EQ(s.Game.GameLevel.GameSeed, 4711);
  EXPECT_TRUE(SamePieces(s.Game, again.Game));
  EXPECT_EQ(s.Game.Rng.RandSeed, again.Game.Rng.RandSeed);
  for (int r = 0; r < 4; ++r) {
    EXPECT_TRUE(SameDib(s.Game.Images.PieceMasks[r], again.Game.Images.PieceMasks[r])) << r;
    EXPECT_TRUE(SameDib(s.Game.Images.PictureImages[r], again.Game.Images.PictureImages[r])) << r;
  }
}

TEST_F(GameOpen, NewGameStartsEveryPieceAloneOnTheFirstSide) {
  ASSERT_TRUE(OpenTestGame(s, jigsaw, 11, 4, true, false));
  const TGameState& g = s.Game;
  const int32_t n = g.GameLevel.TotalTileNum;
  ASSERT_GT(n, 4);
  EXPECT_EQ(g.GameLevel.ImageW, 240);
  EXPECT_EQ(g.Images.PieceMasks[0].Width, 245);
  EXPECT_EQ(g.Images.PictureImages[1].Width, 0);  // no rotation: no turned pictures
  const int32_t frame = n - 1;                    // with a frame border the last live record is the frame piece
  for (int32_t i = 0; i < n; ++i) {
    const TPieceRecord& p = g.Pieces[size_t(i)];
    EXPECT_EQ(p.Group, i);
    EXPECT_EQ(p.Window, 0);
    EXPECT_EQ(p.Rotation, 0);
    EXPECT_EQ(p.Selected, 0);
    if (i == frame) continue;
    EXPECT_GE(p.X, 0);
    EXPECT_LT(p.X, g.Field.ContentW);
    EXPECT_GE(p.Y, 0);
  }
  EXPECT_EQ(g.Pieces[size_t(frame)].X, (800 - 240) / 2);
  EXPECT_EQ(g.Pieces[size_t(frame)].Y, (600 - 180) / 2);
  EXPECT_EQ(g.Play.WeightGroup, -1);
  EXPECT_TRUE(g.GameLoaded);
  EXPECT_EQ(s.sJigName, "gradient");
  EXPECT_TRUE(s.sSolve.empty());
  EXPECT_EQ(s.InfoText, "A test picture\nwith two lines\n");
  EXPECT_GT(s.StoreThumb.Picture->Width, 0);
  // The sides take the field's size (the picture is smaller); the pockets start hidden.
  EXPECT_EQ(s.Windows.GameWindows[0].ContentWidth, 800);
  EXPECT_EQ(s.Windows.GameWindows[1].ContentHeight, 600);
  for (int k = 2; k <= 5; ++k) {
    EXPECT_FALSE(s.Windows.GameWindows[size_t(k)].Visible);
    EXPECT_EQ(s.Windows.GameWindows[size_t(k)].ContentWidth, 0);  // no piece in any pocket
    EXPECT_EQ(s.Windows.GameWindows[size_t(k)].ContentHeight, 0);
  }
  EXPECT_EQ(s.Windows.GameWindows[6].MaxClientWidth, 120);
  EXPECT_EQ(s.Count("ShowProgress"), 1);
  EXPECT_EQ(s.Count("HideProgress"), 1);
}

TEST_F(GameOpen, FailedOpenLeavesTheRunningGameAsItWas) {
  ASSERT_TRUE(OpenTestGame(s, jigsaw, 11, 4, false, false));
  std::vector<TPieceRecord> before(s.Game.Pieces);
  const TLevelRecord level = s.Game.GameLevel;

  // A jigsaw cut short inside its picture.
  const std::string other = PackTestJigsaw(dir, "other", 200, 150);
  ASSERT_TRUE(SelectJigsaw(s, other, 11, 4, false, false));
  std::vector<uint8_t> bytes = Slurp(other);
  bytes.resize(bytes.size() - 40);
  Spit(other, bytes);
  s.Calls.clear();
  EXPECT_FALSE(StartJigsawGame(s, other, TOpenChoices{}));
  // A selection that no longer matches the file.
  ASSERT_TRUE(SelectJigsaw(s, jigsaw, 11, 4, false, false));
  s.Game.CurrentLevel.ImageW += 1;
  EXPECT_FALSE(StartJigsawGame(s, jigsaw, TOpenChoices{}));

  EXPECT_EQ(s.Count("ShowProgress"), 2);
  EXPECT_EQ(s.Count("HideProgress"), 2);  // the progress panel never stays up
  EXPECT_EQ(s.Count("ShowMessage"), 2);
  EXPECT_FALSE(s.AutoSaveHold);
  EXPECT_TRUE(s.Game.GameLoaded);
  EXPECT_EQ(std::memcmp(&s.Game.GameLevel, &level, sizeof level), 0);
  ASSERT_EQ(s.Game.Pieces.size(), before.size());
  EXPECT_EQ(std::memcmp(s.Game.Pieces.data(), before.data(), before.size() * sizeof(TPieceRecord)), 0);
  EXPECT_EQ(s.sJigName, "gradient");
  EXPECT_EQ(s.Game.Images.PieceMasks[0].Width, 245);

  // A cut whose fills keep failing shows its messages, and the game it made opens.
  const std::string tight = PackTestJigsaw(dir, "tight", 115, 59);
  s.Calls.clear();
  ASSERT_TRUE(OpenTestGame(s, tight, 11, 3, true, false, "7839"));
  ASSERT_EQ(s.Count("ShowMessage"), 2);
  EXPECT_EQ(s.Of("ShowMessage")[1], "ShowMessage MS_PaintError");
  EXPECT_EQ(s.sJigName, "tight");
}

// A JPEG whose first segment is Exif rather than JFIF: the browser shows such jigsaws, so the
// game must open them too.
TEST_F(GameOpen, JpegWithoutJfifSegmentOpens) {
  TJigsawParts parts;
  ASSERT_TRUE(ReadJigsawParts(jigsaw, parts));
  const TJigsawHeader& header = parts.Header;
  const std::vector<uint8_t>& picture = parts.Picture;
  ASSERT_TRUE(IsJfifData(picture));
  // Replace the APP0 segment (bytes 2..19) with a small APP1 "Exif" segment.
  const uint8_t exif[] = {0xFF, 0xE1, 0x00, 0x08, 'E', 'x', 'i', 'f', 0x00, 0x00};
  std::vector<uint8_t> changed = {0xFF, 0xD8};
  changed.insert(changed.end(), exif, exif + sizeof exif);
  changed.insert(changed.end(), picture.begin() + 20, picture.end());
  ASSERT_FALSE(IsJfifData(changed));
  const std::string path = dir.File("exif.zvq");
  TBinaryWriter w;
  ASSERT_TRUE(w.Create(path));
  ASSERT_TRUE(w.Write(JigsawMagic, sizeof JigsawMagic) && w.WriteInt32(header.ImageW) && w.WriteInt32(header.ImageH) &&
              w.Write(header.TagBlock, sizeof header.TagBlock));
  ASSERT_TRUE(EmbedBytes(w, parts.Preview, PreviewKey, false) &&
              EmbedBytes(w, parts.Description, DescriptionKey, true) && EmbedBytes(w, changed, PictureKey, true) &&
              w.Commit());
  ASSERT_TRUE(OpenTestGame(s, path, 12, 6, false, false));
  EXPECT_EQ(s.Game.Images.PictureImages[0].Width, 240);
}

// A jigsaw whose preview is far larger than its picture: the browser's selection and
// thumbnail and the preview kept with the game hold it at the size it is ever shown.
TEST_F(GameOpen, AHugePreviewIsHeldAtTheSizeItIsShown) {
  QImage previewImage(4000, 3000, QImage::Format_RGB888);
  previewImage.fill(QColor(200, 40, 10));
  const std::vector<uint8_t> preview = QtEncoded(previewImage, "JPG");
  QImage pictureImage(240, 180, QImage::Format_RGB888);
  pictureImage.fill(QColor(10, 90, 200));
  const std::vector<uint8_t> picture = QtEncoded(pictureImage, "JPG");
  const std::string text = "big preview";
  TJigsawHeader header;
  header.ImageW = 240;
  header.ImageH = 180;
  const std::string path = dir.File("bigpreview.zvq");
  ASSERT_TRUE(WriteJigsawFile(path, header, preview,
                              std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), picture));
  for (TJigsawOpenMode mode : {OpenJigsawSelect, OpenJigsawThumbnail}) {
    SCOPED_TRACE(int(mode));
    TImageControl load;
    TJigsawOpenTarget target{s.Game.CurrentLevel, load, dir.File("t.bmp"), {}, {}};
    ASSERT_TRUE(OpenJigsaw(path, mode, target));
    EXPECT_EQ(load.Picture->Width, 1000);
    EXPECT_EQ(load.Picture->Height, 750);
    EXPECT_NEAR(GetDibPixel(*load.Picture, 500, 375) & 255, 200, 6);
  }
  ASSERT_TRUE(OpenTestGame(s, path, 12, 4, false, false));
  EXPECT_EQ(s.StoreThumb.Picture->Width, 1000);
  EXPECT_EQ(s.StoreThumb.Picture->Height, 750);
  EXPECT_EQ(s.Game.Images.PictureImages[0].Width, 240);
}

// The picture is decoded while the pieces are cut: a picture that cannot be shown is the one
// message, even from a cut that has messages of its own, and the running game stays.
TEST_F(GameOpen, APictureCutShortIsTheOnlyMessageEvenAfterACutWithMessages) {
  ASSERT_TRUE(OpenTestGame(s, jigsaw, 11, 4, false, false));
  const std::string whole = PackTestJigsaw(dir, "tight", 115, 59);
  TJigsawParts parts;
  ASSERT_TRUE(ReadJigsawParts(whole, parts));
  std::vector<uint8_t>& picture = parts.Picture;
  picture.resize(picture.size() * 2 / 3);
  std::string refusal;
  TDibHolder scratch;
  ASSERT_FALSE(DecodeJpeg(*scratch, picture.data(), picture.size(), &refusal));
  const std::string path = dir.File("short.zvq");
  ASSERT_TRUE(WriteJigsawFile(path, parts.Header, parts.Preview, parts.Description, picture));
  s.Calls.clear();
  EXPECT_FALSE(OpenTestGame(s, path, 11, 3, true, false, "7839"));
  EXPECT_EQ(s.Of("ShowMessage"), std::vector<std::string>{"ShowMessage " + refusal});
  EXPECT_EQ(s.Count("HideProgress"), 1);
  EXPECT_EQ(s.sJigName, "gradient");
  EXPECT_EQ(s.Game.Images.PictureImages[0].Width, 240);
  // Whole, the same jigsaw opens with the cut's messages.
  s.Calls.clear();
  ASSERT_TRUE(OpenTestGame(s, whole, 11, 3, true, false, "7839"));
  EXPECT_EQ(s.Count("ShowMessage"), 2);
  EXPECT_EQ(s.Game.Images.PictureImages[0].Width, 115);
}

TEST_F(GameOpen, FitToScreenCutsTheScaledPicture) {
  s.AreaWidth = s.AreaHeight = 120;
  TImageControl load;
  TJigsawOpenTarget target{s.Game.CurrentLevel, load, dir.File("t.bmp"), {}, {}};
  target.PlayArea = [this](int32_t& w, int32_t& h) { s.PlayArea(w, h); };
  ASSERT_TRUE(OpenJigsaw(jigsaw, OpenJigsawSelect, target));
  EXPECT_EQ(s.Game.CurrentLevel.FitImageW, 120);
  EXPECT_EQ(s.Game.CurrentLevel.FitImageH, 90);
  TLevelRecord choice{};
  choice.Level = 12;
  choice.ShapeStyle = TShapeStyle::Classic;
  ASSERT_TRUE(ApplyLevelChoices(s.Game.CurrentLevel, choice, true));
  TOpenChoices choices;
  choices.FitToScreen = true;
  ASSERT_TRUE(StartJigsawGame(s, jigsaw, choices));
  EXPECT_EQ(s.Game.GameLevel.ImageW, 120);
  EXPECT_EQ(s.Game.GameLevel.ImageH, 90);
  EXPECT_EQ(s.Game.Images.PictureImages[0].Width, 120);
  EXPECT_EQ(s.Game.Images.PieceMasks[0].Height, 95);
  EXPECT_EQ(s.LoadedPicture->Width, 120);
}

}  // namespace

namespace {}  // namespace

namespace {

// The draws of a whole open, replayed one by one from the typed seed: first every draw of the
// cut, then one quarter turn per live piece in index order, then the spread of the lone
// pieces (both draws of a piece, X first, or the shuffle of the grid), and nothing after.
TEST_F(GameOpen, TheOpenDrawsForTheCutThenTheTurnsThenTheSpread) {
  for (const bool spreadOut : {false, true}) {
    SCOPED_TRACE(spreadOut);
    TTestSession game;
    SetupTestSession(game, dir);
    ASSERT_TRUE(SelectJigsaw(game, jigsaw, 11, 5, true, true, spreadOut));
    TOpenChoices choices;
    choices.SeedPanelVisible = true;
    choices.SeedText = "4711";
    ASSERT_TRUE(StartJigsawGame(game, jigsaw, choices));
    const TGameState& g = game.Game;
    const int32_t n = g.GameLevel.TotalTileNum;
    const int32_t frame = n - 1;

    // The cut alone, on a session of its own, from the same level and seed.
    TTestSession other;
    SetupTestSession(other, dir);
    ASSERT_TRUE(SelectJigsaw(other, jigsaw, 11, 5, true, true, spreadOut));
    ASSERT_TRUE(PrepareCutter(other));
    TGameState& c = other.Game;
    TLevelRecord lv = c.CurrentLevel;
    lv.GameSeed = 4711;
    c.GameLevel = lv;
    ASSERT_TRUE(AllocPieces(c, lv.TotalTileNum + 1));
    TRandom rng{4711};
    TCutTarget target{lv, c.Pieces.data(), c.Images.PieceMasks[0], rng, c.Progress, other.Knobs, nullptr};
    CutJigsawGrid(target);
    ASSERT_EQ(lv.TotalTileNum, n);

    for (int32_t i = 0; i < n; ++i) {
      const uint32_t turn = rng.Random(4);  // the frame piece draws too, then is set upright
      ASSERT_EQ(g.Pieces[size_t(i)].Rotation, i == frame ? 0u : turn) << i;
    }
    const int32_t knob = g.GameLevel.KnobS;
    const int32_t w = g.Field.ContentW - 2 * knob, h = g.Field.ContentH - 2 * knob;
    std::vector<int32_t> list;
    for (int32_t i = 0; i < frame; ++i) list.push_back(i);
    const int32_t m = int32_t(list.size());
    if (!spreadOut) {
      for (int32_t k = 0; k < m; ++k) {
        const int32_t x = int32_t(rng.Random(uint32_t(w - g.GameLevel.TileS - 2 * knob))) + knob;
        const int32_t y = int32_t(rng.Random(uint32_t(h - g.GameLevel.TileS - 2 * knob))) + knob;
        EXPECT_EQ(g.Pieces[size_t(k)].X, x) << k;
        EXPECT_EQ(g.Pieces[size_t(k)].Y, y) << k;
      }
    } else {
      for (int32_t k = 0; k < m; ++k) std::swap(list[size_t(k)], list[rng.Random(uint32_t(m))]);
      // 800 x 600 field: cols = round(sqrt(m * 800 div 600)).
      int32_t cols = int32_t(std::nearbyint(std::sqrt(double(m * 800 / 600)))), rows = m / cols;
      if (cols * rows < m) ((cols + 1) * rows >= (rows + 1) * cols ? rows : cols) += 1;
      for (int32_t k = 0; k < m; ++k) {
        const TPieceRecord& p = g.Pieces[size_t(list[size_t(k)])];
        EXPECT_EQ(p.X, w * (k % cols) / cols + knob) << k;
        EXPECT_EQ(p.Y, h * (k / cols) / rows + knob) << k;
      }
    }
    EXPECT_EQ(g.Rng.RandSeed, rng.RandSeed);
  }
}

// The progress panel is told 13 steps, 6 more with rotation, 1 more with a light or wood
// style and 3 more again with both; a saved game 8 fewer.
TEST_F(GameOpen, ProgressAnnouncesTheStepsOfItsWork) {
  struct TCase {
    bool Rotate;
    int Emboss;
    int Wood;
    int32_t Steps;
  };
  for (const TCase& c : {TCase{false, 0, 0, 13}, TCase{true, 0, 0, 19}, TCase{false, 2, 0, 14}, TCase{false, 0, 1, 14},
                         TCase{true, 1, 2, 23}}) {
    SCOPED_TRACE(c.Steps);
    TTestSession game;
    SetupTestSession(game, dir);
    game.Game.GameOptions.EmbossStyle = TEmbossStyle(c.Emboss);
    game.Game.GameOptions.WoodStyle = TWoodStyle(c.Wood);
    ASSERT_TRUE(OpenTestGame(game, jigsaw, 12, 4, false, c.Rotate));
    const std::string open = "ShowProgress Prog_OpenJig ";
    EXPECT_EQ(game.Of("ShowProgress"), (std::vector<std::string>{open + std::to_string(c.Steps)}));
    const std::string path = dir.File("steps.sv1");
    ASSERT_TRUE(SaveGame(game, path, true));
    game.Calls.clear();
    ASSERT_TRUE(OpenSavedGameFile(game, path, OpenSavedSelect));
    ASSERT_TRUE(OpenSavedGameFile(game, path, OpenSavedContinue));
    EXPECT_EQ(game.Of("ShowProgress"), (std::vector<std::string>{open + std::to_string(c.Steps - 8)}));
  }
}

}  // namespace
