#include <gtest/gtest.h>

#include <set>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>

#include "foundation/dib_ops.h"
#include "foundation/picture_limits.h"
#include "foundation/picture_loading.h"
#include "game/embedded_file.h"
#include "game/piece_draw.h"
#include "game/pieces.h"
#include "platform/temp_files.h"
#include "session_fixture.h"
#include "support/file_bytes.h"
#include "support/hostile_input.h"
#include "support/recording_host.h"

namespace {

class SavedGame : public ::testing::Test {
 protected:
  void SetUp() override {
    SetupTestSession(s, dir);
    jigsaw = PackTestJigsaw(dir, "gradient", 240, 180);
    ASSERT_TRUE(OpenTestGame(s, jigsaw, 11, 5, true, true));
    n = s.Game.GameLevel.TotalTileNum;
    // Some play: a group of two, a piece in a shown, scrolled pocket, a weight group.
    TPieceRecord* p = s.Game.Pieces.data();
    p[1].Group = p[0].Group;
    p[1].Rotation = p[0].Rotation;
    UpdatePieceRotation(s.Game, p[1]);
    p[2].Window = 3;
    p[2].X = 17;
    p[2].Y = 23;
    s.Game.Play.WeightGroup = 4;
    TSkinWindow& pocket = s.Windows.GameWindows[3];
    SetSkinWindowVisible(s.Windows, pocket, true);
    SetSkinRectEdges(pocket.Outer, 300, 40, 499, 239);
    ResizeSkinWindow(pocket, false);
    pocket.ScrollX = 5;
    s.ViewState.lBkg = 0x123456;
    s.ViewState.WindowBkg[2] = 13;
    s.ViewState.Reserved[1] = 77;
    s.Game.PlaySettings.ClickToDrag = 1;
    path = dir.File("game.sv1");
  }

  // A second session, as after a restart, that continues the saved game.
  bool Continue(TGameSession& t, const std::string& file) {
    SetupTestSession(t, dir);
    TImageControl load;
    return OpenSavedGameFile(t, file, OpenSavedSelect, &load) && OpenSavedGameFile(t, file, OpenSavedContinue);
  }

  int32_t StateOffset(const std::vector<uint8_t>& b) { return Int32At(b, 15); }
  size_t PiecesAt(const std::vector<uint8_t>& b) { return size_t(StateOffset(b)) + 36 + 8; }

  TTempFolder dir;
  TTestSession s;
  std::string jigsaw, path;
  int32_t n = 0;
};

TEST_F(SavedGame, RoundTripGivesBackTheWholeGame) {
  ASSERT_TRUE(SaveGame(s, path, false));
  TTestSession t;
  ASSERT_TRUE(Continue(t, path));
  EXPECT_TRUE(SamePieces(s.Game, t.Game));
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(k);
    EXPECT_TRUE(SameDib(s.Game.Images.PictureImages[k], t.Game.Images.PictureImages[k]));
    EXPECT_TRUE(SameDib(s.Game.Images.PieceMasks[k], t.Game.Images.PieceMasks[k]));
  }
  EXPECT_TRUE(SameDib(*s.StoreThumb.Picture, *t.StoreThumb.Picture));
  EXPECT_EQ(t.Game.Play.WeightGroup, 4);
  const TSkinWindow& a = s.Windows.GameWindows[3];
  const TSkinWindow& b = t.Windows.GameWindows[3];
  EXPECT_TRUE(b.Visible);
  EXPECT_EQ(b.Outer.Left, a.Outer.Left);
  EXPECT_EQ(b.Outer.Bottom, a.Outer.Bottom);
  EXPECT_EQ(b.PieceCount, 1);
  EXPECT_FALSE(t.Windows.GameWindows[2].Visible);
  EXPECT_EQ(t.sSolve, path);
  EXPECT_EQ(t.sJigName, "gradient");
  EXPECT_TRUE(t.Game.GameLoaded);
  EXPECT_FALSE(t.SaveModified);
  // Saving the continued game gives the same file again, byte for byte.
  const std::string again = dir.File("again.sv1");
  t.Windows.GameWindows[3].ScrollX = a.ScrollX;
  t.Windows.GameWindows[3].ScrollY = a.ScrollY;
  ASSERT_TRUE(SaveGame(t, again, false));
  std::vector<uint8_t> first = Slurp(path), second = Slurp(again);
  ASSERT_EQ(first.size(), second.size());
  // The level record's stored preview position differs (the saved game's own thumbnail end).
  const size_t level = 23 + 9 + offsetof(TLevelRecord, SidePos);
  std::memset(first.data() + level, 0, 12);
  std::memset(second.data() + level, 0, 12);
  EXPECT_TRUE(first == second);
}

TEST_F(SavedGame, SavingTheSameGameAgainReplacesOnlyItsStateBlock) {
  ASSERT_TRUE(SaveGame(s, path, false));
  const std::vector<uint8_t> before = Slurp(path);
  s.Game.Pieces[0].X += 1000;
  s.Game.Play.WeightGroup = -1;
  ASSERT_TRUE(SaveGame(s, path, false));
  const std::vector<uint8_t> after = Slurp(path);
  ASSERT_EQ(before.size(), after.size());
  const size_t state = size_t(StateOffset(before));
  EXPECT_TRUE(std::equal(before.begin(), before.begin() + long(state), after.begin()));
  EXPECT_EQ(Int32At(after, PiecesAt(after)), s.Game.Pieces[0].X);
  EXPECT_EQ(Int32At(after, PiecesAt(after) + size_t(n) * 112 + 104 + 4), -1);
  // No temporary file stays behind.
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
    files += e.path().extension() == ".sv1" ? 1 : IsTempName(e.path().filename().string());
  EXPECT_EQ(files, 2);  // game.sv1 and the autosave
}

TEST_F(SavedGame, AnotherGameWithTheSameSeedIsWrittenWhole) {
  ASSERT_TRUE(SaveGame(s, path, false));
  TTestSession other;
  SetupTestSession(other, dir);
  ASSERT_TRUE(OpenTestGame(other, jigsaw, 12, 4, false, false));  // same seed 4711, other level
  ASSERT_EQ(other.Game.GameLevel.GameSeed, s.Game.GameLevel.GameSeed);
  EXPECT_FALSE(RewriteGameStateInPlace(other, path));
  ASSERT_TRUE(SaveGame(other, path, false));
  TTestSession t;
  ASSERT_TRUE(Continue(t, path));
  EXPECT_TRUE(SamePieces(other.Game, t.Game));
  EXPECT_EQ(t.Game.GameLevel.Level, 12);
}

TEST_F(SavedGame, ManualSaveAlsoBringsTheAutosaveUpToDate) {
  ASSERT_TRUE(SaveGame(s, path, false));
  const std::vector<uint8_t> saved = Slurp(path);
  EXPECT_EQ(Slurp(s.Paths.sAutoSave), saved);  // a copy when the autosave held another game
  s.Game.Pieces[3].Y -= 50;
  s.SaveModified = s.AutoSaveModified = true;
  ASSERT_TRUE(SaveGame(s, dir.File("second.sv1"), false));
  EXPECT_FALSE(s.SaveModified);
  EXPECT_FALSE(s.AutoSaveModified);
  TTestSession t;
  ASSERT_TRUE(Continue(t, s.Paths.sAutoSave));
  EXPECT_EQ(t.Game.Pieces[3].Y, s.Game.Pieces[3].Y);
  // An autosave keeps the manual-save flag.
  s.SaveModified = s.AutoSaveModified = true;
  ASSERT_TRUE(SaveGame(s, s.Paths.sAutoSave, true));
  EXPECT_TRUE(s.SaveModified);
  EXPECT_FALSE(s.AutoSaveModified);
}

// Opening, continuing and saving hold the autosave and give back the hold they found: a
// command that held it before still holds it after.
TEST_F(SavedGame, OpenContinueAndSaveGiveBackTheHoldTheyFound) {
  for (const bool held : {true, false}) {
    s.AutoSaveHold = held;
    ASSERT_TRUE(SaveGame(s, path, false));
    EXPECT_EQ(s.AutoSaveHold, held);
    ASSERT_TRUE(OpenTestGame(s, jigsaw, 11, 5, true, true));
    EXPECT_EQ(s.AutoSaveHold, held);
    ASSERT_TRUE(OpenSavedGameFile(s, path, OpenSavedContinue));
    EXPECT_EQ(s.AutoSaveHold, held);
    EXPECT_FALSE(OpenSavedGameFile(s, dir.File("missing.sv1"), OpenSavedContinue));
    EXPECT_EQ(s.AutoSaveHold, held);
  }
}

// A save that fails (here: into a folder that does not exist) tells the player once, claims
// nothing and leaves no flag set, so that the next save works. Its file is the writer's to keep
// whole.
TEST_F(SavedGame, ASaveThatFailsLeavesNoFlagSet) {
  s.Calls.clear();
  EXPECT_FALSE(SaveGame(s, dir.File("missing/x.sv1"), false));
  EXPECT_EQ(s.Count("ShowMessage"), 1);
  EXPECT_FALSE(s.SaveRunning);
  EXPECT_FALSE(s.AutoSaveHold);
  EXPECT_TRUE(SaveGame(s, s.Paths.sAutoSave, true));
  s.SaveRunning = true;  // a save that runs refuses a second
  EXPECT_FALSE(SaveGame(s, path, true));
  EXPECT_FALSE(std::filesystem::exists(path));
}

// The game keeps the piece codes alone; the file holds the map as it always did: the code,
// then 0, then the neutral light 128 in every pixel.
TEST_F(SavedGame, CutMapIsWrittenWithItsThreeBytesAPixel) {
  ASSERT_TRUE(SaveGame(s, path, false));
  TBinaryReader r;
  ASSERT_TRUE(r.Open(path));
  ASSERT_TRUE(r.Seek(23 + 9 + 120));
  int32_t size;
  ASSERT_TRUE(SkipEmbeddedFile(r, size) && SkipEmbeddedFile(r, size));
  std::vector<uint8_t> mapBytes;
  int64_t mapEnd;
  ASSERT_TRUE(ExtractEmbeddedBytes(r, SavedCutMapKey, false, mapBytes, mapEnd));
  TDibHolder map;
  ASSERT_TRUE(DecodeBmp(*map, mapBytes.data(), mapBytes.size()));
  const TDibImage& kept = s.Game.Images.PieceMasks[0];
  ASSERT_EQ(map->Width, kept.Width);
  ASSERT_EQ(map->Height, kept.Height);
  std::set<uint8_t> codes;
  for (int32_t y = 0; y < map->Height; ++y)
    for (int32_t x = 0; x < map->Width; ++x) {
      const uint8_t* p = DibPixelAddress(*map, x, y);
      ASSERT_EQ(p[0], *DibPixelAddress(kept, x, y)) << x << "," << y;
      ASSERT_EQ(p[1], 0);
      ASSERT_EQ(p[2], 128);
      codes.insert(p[0]);
    }
  EXPECT_GT(codes.size(), 10u);
}

TEST_F(SavedGame, CutMapWithoutMarginGetsABlackOne) {
  ASSERT_TRUE(SaveGame(s, path, false));
  // Rewrite the file with the cut map cropped to the picture size.
  std::vector<uint8_t> b = Slurp(path);
  TBinaryReader r;
  ASSERT_TRUE(r.Open(path));
  ASSERT_TRUE(r.Seek(23 + 9 + 120));
  int32_t size;
  ASSERT_TRUE(SkipEmbeddedFile(r, size) && SkipEmbeddedFile(r, size));
  const int64_t mapAt = r.Position();
  std::vector<uint8_t> mapBytes;
  int64_t mapEnd;
  ASSERT_TRUE(ExtractEmbeddedBytes(r, SavedCutMapKey, false, mapBytes, mapEnd));
  TDibHolder map, cropped;
  ASSERT_TRUE(DecodeBmp(*map, mapBytes.data(), mapBytes.size()));
  ASSERT_TRUE(CreateDib24(*cropped, 240, 180));
  BlitDib(*cropped, 0, 0, 240, 180, *map, 0, 0);
  std::vector<uint8_t> croppedBytes;
  ASSERT_TRUE(EncodeBmp24(*cropped, croppedBytes));
  std::vector<uint8_t> record(4 + croppedBytes.size());
  PutInt32(record, 0, int32_t(croppedBytes.size()));
  uint8_t key = SavedCutMapKey;
  ScrambleChunk(croppedBytes.data(), croppedBytes.size(), key, false);
  std::copy(croppedBytes.begin(), croppedBytes.end(), record.begin() + 4);
  std::vector<uint8_t> out(b.begin(), b.begin() + mapAt);
  out.insert(out.end(), record.begin(), record.end());
  out.insert(out.end(), b.begin() + mapEnd, b.end());
  PutInt32(out, 15, StateOffset(b) - int32_t(b.size() - out.size()));
  Spit(path, out);
  TTestSession t;
  ASSERT_TRUE(Continue(t, path));
  const TDibImage& m = t.Game.Images.PieceMasks[0];
  ASSERT_EQ(m.Width, 245);
  ASSERT_EQ(m.Height, 185);
  EXPECT_EQ(GetDibPixel(m, 242, 10) & 0xFFFF00, 0);  // no piece code in the margin
  EXPECT_EQ(GetDibPixel(m, 10, 182) & 0xFFFF00, 0);
  EXPECT_EQ(GetDibPixel(m, 10, 10) & 0xFF0000, GetDibPixel(s.Game.Images.PieceMasks[0], 10, 10) & 0xFF0000);
}

TEST_F(SavedGame, FileEndingAfterThePocketsHasNoWeightGroup) {
  ASSERT_TRUE(SaveGame(s, path, false));
  std::vector<uint8_t> b = Slurp(path);
  b.resize(b.size() - 264);
  Spit(path, b);
  TTestSession t;
  ASSERT_TRUE(Continue(t, path));
  EXPECT_EQ(t.Game.Play.WeightGroup, -1);
}

class HostileSavedGame : public SavedGame {
 protected:
  void SetUp() override {
    SavedGame::SetUp();
    ASSERT_TRUE(SaveGame(s, path, false));
    good = Slurp(path);
    // The running game is another one: a refused file must leave it exactly so.
    SetupTestSession(t, dir);
    ASSERT_TRUE(OpenTestGame(t, jigsaw, 12, 4, false, false, "99"));
    before = t.Game.Pieces;
    level = t.Game.GameLevel;
  }

  // Opens the bytes over the running game t. A refusal tells the player once and leaves t
  // exactly as it was; what opens becomes the running game.
  bool OpenOver(const std::vector<uint8_t>& bytes) {
    const std::string bad = dir.File("bad.sv1");
    Spit(bad, bytes);
    t.Calls.clear();
    if (OpenSavedGameFile(t, bad, OpenSavedContinue)) {
      EXPECT_EQ(t.Game.Pieces.size(), size_t(t.Game.GameLevel.TotalTileNum) + 1);
      before = t.Game.Pieces;
      level = t.Game.GameLevel;
      solve = t.sSolve;
      return true;
    }
    EXPECT_EQ(t.Count("ShowProgress"), t.Count("HideProgress"));
    EXPECT_EQ(t.Count("ShowMessage"), 1);
    EXPECT_FALSE(t.AutoSaveHold);
    EXPECT_TRUE(t.Game.GameLoaded);
    EXPECT_EQ(t.sSolve, solve);
    EXPECT_EQ(std::memcmp(&t.Game.GameLevel, &level, sizeof level), 0);
    EXPECT_EQ(t.Game.Pieces.size(), before.size());
    EXPECT_TRUE(t.Game.Pieces.size() == before.size() &&
                std::memcmp(t.Game.Pieces.data(), before.data(), before.size() * sizeof(TPieceRecord)) == 0);
    return false;
  }
  void ExpectRefused(const std::vector<uint8_t>& bytes, const char* what) {
    SCOPED_TRACE(what);
    EXPECT_FALSE(OpenOver(bytes));
  }

  std::vector<uint8_t> With(const std::function<void(std::vector<uint8_t>&)>& change) {
    std::vector<uint8_t> b = good;
    change(b);
    return b;
  }

  TTestSession t;
  std::vector<uint8_t> good;
  std::vector<TPieceRecord> before;
  TLevelRecord level;
  std::string solve;
};

TEST_F(HostileSavedGame, DamagedFilesAreRefusedOrReadWhole) {
  // The generic loop over the head and the state block (the pictures are their decoders' to
  // refuse): cuts, and changed bytes; what opens must then be a whole game.
  auto read = [&](const std::vector<uint8_t>& b) { OpenOver(b); };
  const size_t state = size_t(StateOffset(good));
  ForEachHostileVariant(good, 40, read, good.size() / 30, 0, 200);
  ForEachHostileVariant(good, 100, read, 0, state);
  // Checks between fields that random changes cannot meet.
  const size_t pieces = PiecesAt(good);
  const size_t levelAt = 23 + 9;
  auto piece = [&](int32_t i, size_t field) { return pieces + size_t(i) * 112 + field; };
  ExpectRefused(With([](auto& b) { PutInt32(b, 11, 5); }), "seed differs from the level record");
  ExpectRefused(With([&](auto& b) { PutInt32(b, levelAt + offsetof(TLevelRecord, ImageW), 241); }),
                "picture size differs from the header");
  ExpectRefused(With([&](auto& b) { PutInt32(b, levelAt + offsetof(TLevelRecord, TotalTileNum), 2000); }),
                "more pieces than the file holds");
  ExpectRefused(With([&](auto& b) { PutInt32(b, 15, StateOffset(b) + 1); }), "state offset");
  ExpectRefused(With([&](auto& b) { PutInt32(b, piece(1, 8), n); }), "group");
  ExpectRefused(With([&](auto& b) { PutInt32(b, piece(2, 32), 230); }), "piece outside the picture");
  ExpectRefused(With([&](auto& b) { PutInt32(b, piece(2, 56), 9999); }), "box that is not the mask's");
  ExpectRefused(With([&](auto& b) { PutInt32(b, piece(n, 0) + 104 + 4, n); }), "weight group");
}

// A pocket block's every limit: the value itself opens, one past it is refused. Edges lie
// within 2^20 of the origin, right not left of left, bottom not above top, scrolls from 0 to
// 2^28, the shown flag 0 or 1.
TEST_F(HostileSavedGame, PocketBlocksOpenAtTheirLimitsAndNotPast) {
  constexpr int32_t kEdge = 1 << 20, kScroll = 1 << 28;
  const size_t pocket = PiecesAt(good) + size_t(n) * 112 + 2 * kPocketBlockSize;  // an unshown one
  const struct {
    size_t field;
    int32_t value, other;  // other: the opposite edge, to keep the block a rectangle
    bool opens;
  } cases[] = {
      {2, -kEdge, -kEdge, true}, {2, -kEdge - 1, -kEdge, false},
      {10, kEdge, kEdge, true},  {10, kEdge + 1, kEdge, false},
      {6, -kEdge, -kEdge, true}, {6, -kEdge - 1, -kEdge, false},
      {14, kEdge, kEdge, true},  {14, kEdge + 1, kEdge, false},
      {18, 0, 0, true},          {18, -1, 0, false},
      {22, kScroll, 0, true},    {22, kScroll + 1, 0, false},
      {18, kScroll, 0, true},    {18, kScroll + 1, 0, false},
      {22, -1, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.field) + ": " + std::to_string(c.value));
    const std::vector<uint8_t> b = With([&](auto& b) {
      PutInt32(b, pocket + c.field, c.value);
      // Edges: the opposite one of the pair (left 2 with right 10, top 6 with bottom 14).
      if (c.field < 18) PutInt32(b, pocket + (c.field < 10 ? c.field + 8 : c.field - 8), c.other);
    });
    EXPECT_EQ(OpenOver(b), c.opens);
  }
  const int32_t left = Int32At(good, pocket + 2), top = Int32At(good, pocket + 6);
  ExpectRefused(With([&](auto& b) { PutInt32(b, pocket + 10, left - 1); }), "right left of left");
  ExpectRefused(With([&](auto& b) { PutInt32(b, pocket + 14, top - 1); }), "bottom above top");
  EXPECT_TRUE(OpenOver(With([&](auto& b) { PutInt32(b, pocket + 10, left), PutInt32(b, pocket + 14, top); })));
  ExpectRefused(With([&](auto& b) { b[pocket + 1] = 2; }), "shown neither yes nor no");
  EXPECT_TRUE(OpenOver(With([&](auto& b) { b[pocket + 1] = 1; })));
}

// A piece record's limits, the same way: the value itself opens, one past it is refused.
TEST_F(HostileSavedGame, PieceRecordsOpenAtTheirLimitsAndNotPast) {
  constexpr int32_t kFar = 1 << 28;
  const size_t piece = PiecesAt(good) + 2 * 112;
  const struct {
    size_t field;
    int32_t value;
    int bytes;
    bool opens;
  } cases[] = {
      {0, kFar, 4, true}, {0, kFar + 1, 4, false},   {0, -kFar, 4, true},        {0, -kFar - 1, 4, false},
      {4, kFar, 4, true}, {4, kFar + 1, 4, false},   {4, -kFar, 4, true},        {4, -kFar - 1, 4, false},
      {8, -1, 4, false},  {12, 5, 1, true},          {12, 6, 1, false},          {14, 1, 1, true},
      {14, 2, 1, false},  {90 + 2 * 8, -1, 2, true}, {90 + 2 * 8, -2, 2, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.field) + ": " + std::to_string(c.value));
    EXPECT_EQ(OpenOver(With([&](auto& b) {
                for (int i = 0; i < c.bytes; ++i)
                  b[piece + c.field + size_t(i)] = uint8_t(uint32_t(c.value) >> (8 * i));
              })),
              c.opens);
  }
}

// The view and the play settings at the head of the state block, the same way: colours up to
// 0xFFFFFF, mouse buttons up to 2, shift states up to 7, switches 0 or 1.
TEST_F(HostileSavedGame, ViewAndPlaySettingsOpenAtTheirLimitsAndNotPast) {
  const size_t state = size_t(StateOffset(good));
  const struct {
    size_t at;
    int32_t value;
    int bytes;
    bool opens;
  } cases[] = {
      {8, 0xFFFFFF, 4, true},  {8, 0x1000000, 4, false},  {8, 0, 4, true},    {8, -1, 4, false},
      {32, 0xFFFFFF, 4, true}, {32, 0x1000000, 4, false}, {12, -1, 4, false}, {40, 2, 1, true},
      {40, 3, 1, false},       {36, 3, 1, false},         {38, 3, 1, false},  {39, 7, 1, true},
      {39, 8, 1, false},       {37, 8, 1, false},         {41, 8, 1, false},  {42, 1, 1, true},
      {42, 2, 1, false},       {43, 1, 1, true},          {43, 2, 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.at) + ": " + std::to_string(c.value));
    EXPECT_EQ(OpenOver(With([&](auto& b) {
                for (int i = 0; i < c.bytes; ++i) b[state + c.at + size_t(i)] = uint8_t(uint32_t(c.value) >> (8 * i));
              })),
              c.opens);
  }
}

// A level record with one size out of range describes no game that can exist: refused,
// whatever the later choices in the record say.
TEST_F(HostileSavedGame, ALevelWithOneSizeOutOfRangeIsRefused) {
  const size_t levelAt = 23 + 9;
  const struct {
    size_t field;
    int32_t value;
    const char* what;
  } cases[] = {
      {offsetof(TLevelRecord, TileS), 0, "no tile size"},
      {offsetof(TLevelRecord, TileS), 100000, "tile larger than the picture"},
      {offsetof(TLevelRecord, KnobS), -1, "negative knob size"},
      {offsetof(TLevelRecord, HalfKnobS), 100000, "half knob larger than the picture"},
      {offsetof(TLevelRecord, TilePY), 0, "no rows"},
  };
  for (const auto& c : cases) ExpectRefused(With([&](auto& b) { PutInt32(b, levelAt + c.field, c.value); }), c.what);
  ExpectRefused(With([&](auto& b) { b[levelAt + offsetof(TLevelRecord, Rotate)] = 2; }), "rotation neither on nor off");
}

// The stored style bytes are range-checked against the styles that exist: the last of each
// opens, one past it is refused.
TEST_F(HostileSavedGame, StylesPastTheLastAreRefusedAndTheLastOpens) {
  const size_t shapeAt = 23 + 9 + offsetof(TLevelRecord, ShapeStyle);
  const size_t borderAt = 23 + 9 + offsetof(TLevelRecord, BorderStyle);
  ExpectRefused(With([&](auto& b) { b[shapeAt] = uint8_t(kShapeStyleCount); }), "shape style past the last");
  ExpectRefused(With([&](auto& b) { b[borderAt] = uint8_t(kLastBorderStyle) + 1; }), "border style past the last");
  ASSERT_TRUE(OpenOver(With([&](auto& b) { b[shapeAt] = uint8_t(kLastShapeStyle); })));
  EXPECT_EQ(t.Game.GameLevel.ShapeStyle, kLastShapeStyle);
}

// A saved game that claims a picture beyond the memory budget: refused with its size before
// any of it is read, the running game kept.
TEST_F(HostileSavedGame, PictureBeyondTheBudgetIsRefusedWithItsSize) {
  const size_t levelAt = 23 + 9;
  const std::vector<uint8_t> huge = With([&](auto& b) {
    PutInt32(b, levelAt + offsetof(TLevelRecord, ImageW), 12000);
    PutInt32(b, levelAt + offsetof(TLevelRecord, ImageH), 9000);
  });
  EXPECT_FALSE(OpenOver(huge));
  EXPECT_EQ(t.Of("ShowMessage"), std::vector<std::string>{"ShowMessage " + PictureTooLargeMessage(12000, 9000)});
}

// A file that ends anywhere in its head is damaged, whatever the part cut: the player is told
// so, not about a picture size the file never held.
TEST_F(HostileSavedGame, AFileCutInItsHeadIsCalledDamaged) {
  const size_t levelAt = 23 + 9;
  const struct {
    size_t keep;
    const char* what;
  } cases[] = {
      {13, "inside the seed"},
      {27, "inside the name"},
      {levelAt, "before the level record"},
      {levelAt + offsetof(TLevelRecord, ImageH) + 2, "inside the picture size"},
      {levelAt + sizeof(TLevelRecord) - 1, "one byte short of the level record"},
  };
  const std::string bad = dir.File("bad.sv1");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(OpenOver(std::vector<uint8_t>(good.begin(), good.begin() + std::ptrdiff_t(c.keep))));
    EXPECT_EQ(t.Of("ShowMessage"),
              std::vector<std::string>{"ShowMessage \"" + bad + "\" is no saved game of this program or is damaged."});
  }
}

TEST_F(HostileSavedGame, RotationOnlyWhereTheLevelRotates) {
  // A game without rotation whose file claims a turned piece.
  ASSERT_TRUE(SaveGame(t, path, false));
  good = Slurp(path);
  const size_t pieces = PiecesAt(good);
  before = t.Game.Pieces;
  ExpectRefused(With([&](auto& b) { b[pieces + 112 + 13] = 1; }), "turned piece");
}

TEST_F(HostileSavedGame, SelectAndThumbnailModesLeaveTheLevelAloneOnBadFiles) {
  const TLevelRecord current = t.Game.CurrentLevel;
  TImageControl load;
  SetImageBlank(load, 3, 3, true, 0x112233);
  const std::string bad = dir.File("bad.sv1");
  Spit(bad, std::vector<uint8_t>(good.begin(), good.begin() + 300));
  EXPECT_FALSE(OpenSavedGameFile(t, bad, OpenSavedSelect, &load));
  EXPECT_FALSE(OpenSavedGameFile(t, bad, OpenSavedThumbnail, &load));
  EXPECT_EQ(std::memcmp(&t.Game.CurrentLevel, &current, sizeof current), 0);
  EXPECT_EQ(load.Picture->Width, 3);
  EXPECT_TRUE(OpenSavedGameFile(t, path, OpenSavedThumbnail, &load));
  EXPECT_EQ(load.Picture->Width, s.StoreThumb.Picture->Width);
  EXPECT_EQ(std::memcmp(&t.Game.CurrentLevel, &current, sizeof current), 0);
  EXPECT_TRUE(OpenSavedGameFile(t, path, OpenSavedSelect, &load));
  EXPECT_EQ(t.Game.CurrentLevel.TotalTileNum, n);
  EXPECT_EQ(t.sSvJigName, "gradient");
}

// The autosave timer saves only when the game changed and an interval has passed, and never
// while something holds it: a command, another save, a drag (a save shows the progress panel,
// and the field ignores the mouse while it shows: the drop would be swallowed).
TEST_F(SavedGame, AutosaveWaitsForAChangeTheIntervalAndNothingHoldingIt) {
  s.LastAutoSaveTime = 1000;
  s.AutoSave.Interval = 10;
  using TChange = std::function<void(bool)>;  // on: set the obstacle, off: take it away
  const std::pair<const char*, TChange> obstacles[] = {
      {"unchanged", [&](bool on) { s.AutoSaveModified = !on; }},
      {"hold", [&](bool on) { s.AutoSaveHold = on; }},
      {"save running", [&](bool on) { s.SaveRunning = on; }},
      {"group held", [&](bool on) { s.Game.Play.DragState = on ? 1 : 0; }},
      {"selection band", [&](bool on) { s.Game.Play.DragState = on ? 2 : 0; }},
      {"pocket dragged by its caption",
       [&](bool on) {
         s.Windows.SkinDrag = TSkinDragState{};
         if (on) s.Windows.SkinDrag.Window = &s.Windows.GameWindows[3], s.Windows.SkinDrag.HitCode = 1;
       }},
      {"switched off", [&](bool on) { s.AutoSave.Enabled = !on; }}};
  s.AutoSaveModified = true;
  EXPECT_FALSE(AutoSaveTick(s, 1000 + 599)) << "not yet an interval";
  for (const auto& [what, change] : obstacles) {
    change(true);
    EXPECT_FALSE(AutoSaveTick(s, 1000 + 600)) << what;
    change(false);
  }
  EXPECT_FALSE(std::filesystem::exists(s.Paths.sAutoSave));
  EXPECT_TRUE(AutoSaveTick(s, 1000 + 600));
  EXPECT_TRUE(std::filesystem::exists(s.Paths.sAutoSave));
  EXPECT_FALSE(s.AutoSaveModified);
  EXPECT_EQ(s.LastAutoSaveTime, 1600);
}

// Every shape style saves and continues with the same pieces (the reader checks the style).
TEST_F(SavedGame, EveryShapeStyleRoundTrips) {
  const std::string shapes = PackTestJigsaw(dir, "shapes", 320, 240);
  for (uint8_t shape = 0; shape < kShapeStyleCount; ++shape) {
    SCOPED_TRACE(int(shape));
    TTestSession a, t;
    SetupTestSession(a, dir);
    ASSERT_TRUE(OpenTestGame(a, shapes, 11, shape, shape % 2 == 0, shape == 3));
    ASSERT_TRUE(SaveGame(a, path, false));
    ASSERT_TRUE(Continue(t, path));
    EXPECT_TRUE(SamePieces(a.Game, t.Game));
    EXPECT_TRUE(SameDib(a.Game.Images.PieceMasks[0], t.Game.Images.PieceMasks[0]));
  }
}

// Pattern classes are never trusted: with wood they are computed again before use, without
// wood the drawing skips any class outside 0 to 9. A file with a wild class opens either way.
TEST_F(SavedGame, StoredPatternClassesAreNeverTrusted) {
  ASSERT_TRUE(SaveGame(s, path, false));
  std::vector<uint8_t> b = Slurp(path);
  const size_t piece3 = PiecesAt(b) + 3 * 112;
  PutInt32(b, piece3 + 64, 12345);
  b[piece3 + 68] = 0xFF;
  b[piece3 + 69] = 0xFF;
  Spit(path, b);
  for (int wood = 2; wood >= 0; wood -= 2) {
    SCOPED_TRACE(wood);
    TTestSession t;
    SetupTestSession(t, dir);
    t.Game.GameOptions.WoodStyle = TWoodStyle(wood);
    ASSERT_TRUE(Continue(t, path));
    const TPieceRecord& p = t.Game.Pieces[3];
    if (wood) {
      EXPECT_GE(p.PatternClass, 0);
      EXPECT_LE(p.PatternClass, 9);
      EXPECT_EQ(p.ClassBit, 1u << p.PatternClass);
    } else {
      EXPECT_EQ(p.PatternClass, 12345);  // kept as stored, unused without wood
    }
    TDibHolder target;
    ASSERT_TRUE(CreateDib24(*target, 800, 600));
    TSkinRect clip;
    SetSkinRectBounds(clip, 0, 0, 800, 600);
    const TPieceView view = PieceViewOf(t.Windows.GameWindows[0]);
    for (int32_t i = 0; i < t.Game.GameLevel.TotalTileNum; ++i) DrawPieceClipped(t.Game, *target, clip, view, i);
  }
}

// The autosave runs between clicks, so a game may be saved with pieces selected. Continued,
// those pieces are a selection like any other: the next click on empty space clears them.
TEST_F(SavedGame, PiecesSavedSelectedAreASelectionAgain) {
  s.Game.Pieces[3].Selected = 1;
  s.Game.Pieces[5].Selected = 1;
  ASSERT_TRUE(SaveGame(s, path, true));
  TTestSession t;
  t.Game.Host = &t;
  ASSERT_TRUE(Continue(t, path));
  EXPECT_TRUE(t.Game.Play.HasSelection);
  EXPECT_EQ(t.Of("SelectionChanged").back(), "SelectionChanged 1");  // the Arrange command follows
  ClearSelection(t.Game, PieceViewOf(t.Windows.GameWindows[0]));
  EXPECT_EQ(t.Game.Pieces[3].Selected, 0);
  EXPECT_EQ(t.Of("SelectionChanged").back(), "SelectionChanged 0");

  // Without selected pieces there is no selection.
  s.Game.Pieces[3].Selected = s.Game.Pieces[5].Selected = 0;
  ASSERT_TRUE(SaveGame(s, path, true));
  TTestSession u;
  ASSERT_TRUE(Continue(u, path));
  EXPECT_FALSE(u.Game.Play.HasSelection);
}

// The file read back by its table, field after field, without the game's reader.
TEST_F(SavedGame, TheFileHoldsEveryFieldWhereTheFormatPutsIt) {
  s.Windows.GameWindows[3].ScrollY = 9;
  ASSERT_TRUE(SaveGame(s, path, false));
  const std::vector<uint8_t> b = Slurp(path);
  ASSERT_GT(b.size(), 200u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 11), "ZORVASLV1.0");
  EXPECT_EQ(Int32At(b, 11), s.Game.GameLevel.GameSeed);
  EXPECT_EQ(Int32At(b, 19), 9);  // "gradient" and its zero byte
  EXPECT_EQ(std::memcmp(b.data() + 23, "gradient", 9), 0);
  size_t at = 23 + 9;
  EXPECT_EQ(std::memcmp(b.data() + at, &s.Game.GameLevel, 120), 0);
  at += 120;
  // Thumbnail, picture, cut map, description.
  for (int k = 0; k < 4; ++k) {
    const int32_t size = Int32At(b, at);
    if (k == 3) {
      EXPECT_EQ(size_t(size), s.InfoText.size());
    }
    at += 4 + size_t(size);
  }
  EXPECT_EQ(size_t(Int32At(b, 15)), at);  // the state offset
  EXPECT_EQ(std::memcmp(b.data() + at, &s.ViewState, 36), 0);
  EXPECT_EQ(Int32At(b, at + 8), 0x123456);  // the field background, word 2
  EXPECT_EQ(b[at + 36 + 7], 1);             // ClickToDrag, the last byte of the play settings
  at += 36 + 8;
  EXPECT_EQ(std::memcmp(b.data() + at, s.Game.Pieces.data(), size_t(n) * 112), 0);
  at += size_t(n) * 112;
  for (int32_t pocket = 2; pocket <= 5; ++pocket) {
    SCOPED_TRACE(pocket);
    const TSkinWindow& win = s.Windows.GameWindows[size_t(pocket)];
    EXPECT_EQ(b[at], 0);  // reserved
    EXPECT_EQ(b[at + 1], win.Visible ? 1 : 0);
    const int32_t fields[6] = {win.Outer.Left,   win.Outer.Top, win.Outer.Right,
                               win.Outer.Bottom, win.ScrollX,   win.ScrollY};
    for (size_t f = 0; f < 6; ++f) EXPECT_EQ(Int32At(b, at + 2 + 4 * f), fields[f]) << f;
    at += 26;
  }
  EXPECT_EQ(b[at - 3 * 26 + 1], 1);  // pocket 2 of the four (window 3) is shown
  EXPECT_EQ(Int32At(b, at), 0xDACA);
  EXPECT_EQ(Int32At(b, at + 4), 4);  // the weight group
  at += 8;
  ASSERT_EQ(b.size(), at + 256);
  EXPECT_TRUE(std::all_of(b.begin() + long(at), b.end(), [](uint8_t v) { return v == 0; }));
}

// Each side and every pocket keeps its pieces across a save.
TEST_F(SavedGame, PiecesComeBackInWhicheverWindowTheyLay) {
  const size_t count = s.Windows.GameWindows.size() - 1;  // the last window is the thumbnail
  ASSERT_GE(size_t(n), count + 3);
  for (size_t w = 0; w < count; ++w) s.Game.Pieces[3 + w].Window = uint8_t(w);
  ASSERT_TRUE(SaveGame(s, path, false));
  TTestSession t;
  ASSERT_TRUE(Continue(t, path));
  for (size_t w = 0; w < count; ++w) EXPECT_EQ(t.Game.Pieces[3 + w].Window, w) << w;
}

}  // namespace
