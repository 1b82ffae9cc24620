// The browser's logic on real folders: lists, the thumbnail cache and its loader, reading the
// selected file, naming and deleting, and damaged files among the good ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "foundation/dib_ops.h"
#include "foundation/picture_loading.h"
#include "game/browser_model.h"
#include "game/game_open.h"
#include "game/jigsaw_file.h"
#include "game/saved_game.h"
#include "session_fixture.h"
#include "support/file_bytes.h"
#include "support/folder_paths.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// A picture of one colour as bitmap file bytes.
std::vector<uint8_t> FlatBmp(int32_t w, int32_t h, uint32_t color) {
  TDibHolder d;
  std::vector<uint8_t> bytes;
  if (CreateDib24(*d, w, h)) {
    FillDibRect(*d, 0, 0, w, h, color);
    EncodeBmp24(*d, bytes);
  }
  return bytes;
}

struct TBrowserRig {
  TTempFolder Root;
  TTestSession Session;
  std::unique_ptr<TBrowserModel> Model;

  TBrowserRig() {
    SetupTestSession(Session, Root);
    PointPathsInto(Session.Paths, Root);
    Session.Game.DefaultLevel.Level = 5;
    Session.Game.DefaultLevel.ShapeStyle = TShapeStyle::Classic;
    Model = std::make_unique<TBrowserModel>(Session);
  }

  // A jigsaw of w x h whose preview is pw x ph of one colour.
  std::string Jigsaw(const std::string& name, uint32_t previewColor, int32_t pw = 160, int32_t ph = 120,
                     int32_t w = 320, int32_t h = 240) {
    TJigsawHeader header;
    header.ImageW = w;
    header.ImageH = h;
    header.TagBlock[0] = 3;
    header.TagBlock[3] = 42;
    const std::vector<uint8_t> text = {'h', 'i'};
    const std::string path = Session.Paths.sJigsawDir + name;
    EXPECT_TRUE(WriteJigsawFile(path, header, FlatBmp(pw, ph, previewColor), text, FlatBmp(w, h, 0x336699)));
    return path;
  }
  std::string Saved(const std::string& name) { return Session.Paths.sSavedDir + name; }
};

uint32_t Pixel(const TDibImage& d, int32_t x, int32_t y) { return uint32_t(GetDibPixel(d, x, y)); }

// --- The cache and the fitted thumbnail ----------------------------------------------------

TEST(FittedThumb, SmallPictureIsCopiedCentred) {
  TDibHolder pic, thumb;
  ASSERT_TRUE(CreateDib24(*pic, 100, 50));
  FillDibRect(*pic, 0, 0, 100, 50, 0x112233);
  SetDibPixel(*pic, 0, 0, 0x0000FF);
  ASSERT_TRUE(DrawFittedThumb(*thumb, *pic, nullptr));
  EXPECT_EQ(Pixel(*thumb, 40, 42), 0x0000FFu);  // (180 - 100) / 2, (135 - 50) / 2
  EXPECT_EQ(Pixel(*thumb, 39, 42), 0xFFFFFFu);
  EXPECT_EQ(Pixel(*thumb, 139, 91), 0x112233u);
  EXPECT_EQ(Pixel(*thumb, 140, 91) & Pixel(*thumb, 139, 92), 0xFFFFFFu);
  ASSERT_TRUE(CreateDib24(*pic, 360, 135));  // wider than the cell: 180 x 67 at y = 34
  FillDibRect(*pic, 0, 0, 360, 135, 0x404040);
  ASSERT_TRUE(DrawFittedThumb(*thumb, *pic, nullptr));
  EXPECT_EQ(Pixel(*thumb, 90, 33) ^ Pixel(*thumb, 90, 101), 0u);
  EXPECT_EQ(Pixel(*thumb, 0, 34) & Pixel(*thumb, 179, 100), 0x404040u);
}

TEST(FittedThumb, SaveIconSitsOverTheCornerAndKeepsItsKey) {
  TDibHolder pic, icon, thumb;
  ASSERT_TRUE(CreateDib24(*pic, 100, 50));
  FillDibRect(*pic, 0, 0, 100, 50, 0x112233);
  ASSERT_TRUE(CreateDib24(*icon, 16, 16));
  FillDibRect(*icon, 0, 0, 16, 16, 0x00FF00);
  SetDibPixel(*icon, 5, 5, kSaveIconKey);
  ASSERT_TRUE(DrawFittedThumb(*thumb, *pic, &*icon));
  EXPECT_EQ(Pixel(*thumb, 39, 41), 0x00FF00u);
  EXPECT_EQ(Pixel(*thumb, 54, 56), 0x00FF00u);
  EXPECT_EQ(Pixel(*thumb, 55, 57), 0x112233u);
  EXPECT_EQ(Pixel(*thumb, 44, 46), 0x112233u);  // under the transparent pixel
  // A picture filling the cell puts the icon at the corner, not outside it.
  ASSERT_TRUE(CreateDib24(*pic, 180, 135));
  ASSERT_TRUE(DrawFittedThumb(*thumb, *pic, &*icon));
  EXPECT_EQ(Pixel(*thumb, 0, 0), 0x00FF00u);
  // A one-pixel-wide icon is drawn too; one larger than the box stays inside it.
  FillDibRect(*pic, 0, 0, 180, 135, 0x112233);
  ASSERT_TRUE(CreateDib24(*icon, 1, 3));
  FillDibRect(*icon, 0, 0, 1, 3, 0x00FF00);
  ASSERT_TRUE(DrawFittedThumb(*thumb, *pic, &*icon));
  EXPECT_EQ(Pixel(*thumb, 0, 2), 0x00FF00u);
  EXPECT_EQ(Pixel(*thumb, 1, 0), 0x112233u);
  ASSERT_TRUE(CreateDib24(*icon, 16, 16));
  FillDibRect(*icon, 0, 0, 16, 16, 0x00FF00);
  ASSERT_TRUE(DrawPictureFitted(*thumb, 10, 8, *pic, 0xFFFFFF, &*icon));
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 10; ++x) {
      EXPECT_EQ(Pixel(*thumb, x, y), 0x00FF00u) << x << "," << y;
    }
  }
}

// Any picture in any box: kept whole when it fits, else shrunk until it touches the box on one
// side with its aspect kept to a pixel; centred either way; nothing to draw is refused.
TEST(FittedThumb, EveryPictureFitsItsBoxCentredAndNeverEnlarged) {
  uint32_t seed = 12345;
  const auto next = [&](int32_t n) {
    seed = seed * 1103515245u + 12345u;
    return 1 + int32_t((seed >> 8) % uint32_t(n));
  };
  TDibHolder pic, out;
  for (int32_t trial = 0; trial < 300; ++trial) {
    const int32_t boxW = next(24), boxH = next(24), w = next(60), h = next(60);
    SCOPED_TRACE(testing::Message() << w << "x" << h << " in " << boxW << "x" << boxH);
    ASSERT_TRUE(CreateDib24(*pic, w, h));
    FillDibRect(*pic, 0, 0, w, h, 0x203040);
    ASSERT_TRUE(DrawPictureFitted(*out, boxW, boxH, *pic, 0xFFFFFF, nullptr));
    ASSERT_EQ(out->Width, boxW);
    ASSERT_EQ(out->Height, boxH);
    int32_t left = boxW, top = boxH, right = -1, bottom = -1;
    for (int32_t y = 0; y < boxH; ++y) {
      for (int32_t x = 0; x < boxW; ++x) {
        if (Pixel(*out, x, y) == 0xFFFFFFu) continue;
        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
      }
    }
    const int32_t shownW = right - left + 1, shownH = bottom - top + 1;
    if (w <= boxW && h <= boxH) {
      EXPECT_EQ(shownW, w);
      EXPECT_EQ(shownH, h);
    } else {
      EXPECT_TRUE(shownW == boxW || shownH == boxH);
      EXPECT_LE(std::abs(int64_t(shownW) * h - int64_t(shownH) * w), std::max(w, h));
    }
    EXPECT_EQ(left, (boxW - shownW) / 2);
    EXPECT_EQ(top, (boxH - shownH) / 2);
  }
  // A refusal leaves the target as it was.
  const int32_t lastW = out->Width;
  ASSERT_TRUE(CreateDib24(*pic, 4, 4));
  EXPECT_FALSE(DrawPictureFitted(*out, 0, 5, *pic, 0xFFFFFF, nullptr));
  EXPECT_FALSE(DrawPictureFitted(*out, 5, 0, *pic, 0xFFFFFF, nullptr));
  EXPECT_FALSE(DrawPictureFitted(*out, 5, 5, TDibImage{}, 0xFFFFFF, nullptr));
  EXPECT_EQ(out->Width, lastW);
}

// --- Lists --------------------------------------------------------------------------------

// --- The thumbnail loader -----------------------------------------------------------------

// The shared blank is white to its very edges with a navy outline two pixels in.
TEST(ThumbLoader, TheBlankIsWhiteWithANavyOutline) {
  TThumbCache cache;
  InitThumbCache(cache);
  ASSERT_EQ(cache.Names, std::vector<std::string>{"---"});
  const TDibImage& blank = **cache.Images[0];
  ASSERT_EQ(blank.Width, kListThumbW);
  ASSERT_EQ(blank.Height, kListThumbH);
  int32_t wrong = 0;
  for (int32_t y = 0; y < kListThumbH; ++y)
    for (int32_t x = 0; x < kListThumbW; ++x) {
      const bool inX = x >= 2 && x <= 178, inY = y >= 2 && y <= 133;
      const bool frame = (inY && (x == 2 || x == 178)) || (inX && (y == 2 || y == 133));
      wrong += Pixel(blank, x, y) != (frame ? kBlankThumbFrame : 0xFFFFFFu);
    }
  EXPECT_EQ(wrong, 0);
}

TEST(ThumbLoader, GivesEveryReadableFileItsThumbnailOnceAndDamagedOnesTheBlank) {
  TBrowserRig r;
  r.Jigsaw("a.zvq", 0x0000FF);
  r.Jigsaw("b.zvq", 0x00FF00, 360, 270);
  const std::vector<uint8_t> good = Slurp(r.Jigsaw("c.zvq", 0xFF0000));
  Spit(r.Session.Paths.sJigsawDir + "c.zvq", std::vector<uint8_t>(good.begin(), good.begin() + 60));
  Spit(r.Session.Paths.sJigsawDir + "d.zvq", {});
  Spit(r.Saved("e.sv1"), std::vector<uint8_t>(500, 0xEE));
  FillFileLists(*r.Model);
  ASSERT_EQ(r.Model->Jigs.size(), 4u);
  while (LoadNextThumb(*r.Model)) {
  }
  const std::vector<TBrowserItem>& j = r.Model->Jigs;
  EXPECT_EQ(j[0].ImageIndex, 1);
  EXPECT_EQ(j[1].ImageIndex, 2);
  EXPECT_EQ(j[2].ImageIndex, 0);
  EXPECT_EQ(j[3].ImageIndex, 0);
  EXPECT_EQ(r.Model->Games[0].ImageIndex, 0);
  EXPECT_EQ(r.Model->Cache.Names, (std::vector<std::string>{"---", "a.zvq", "b.zvq"}));
  // a's preview (160 x 120) is copied unscaled: red at the centre, white at the edge.
  EXPECT_EQ(Pixel(**r.Model->Cache.Images[1], 90, 67), 0x0000FFu);
  EXPECT_EQ(Pixel(**r.Model->Cache.Images[1], 5, 5), 0xFFFFFFu);

  // The next showing takes the cached images without reading again.
  FillFileLists(*r.Model);
  fs::remove(r.Session.Paths.sJigsawDir + "a.zvq");
  r.Jigsaw("a.zvq", 0x00FFFF);
  while (LoadNextThumb(*r.Model)) {
  }
  EXPECT_EQ(r.Model->Jigs[0].ImageIndex, 1);
  EXPECT_EQ(r.Model->Cache.Names.size(), 3u);
}

// A tick loads thumbnails until more than its budget has passed on the clock; the last tick
// says that nothing remains.
TEST(ThumbLoader, EachTickStopsOnceItsBudgetIsSpent) {
  TBrowserRig r;
  for (const char* name : {"a.zvq", "b.zvq", "c.zvq", "d.zvq"}) r.Jigsaw(name, 0x0000FF);
  FillFileLists(*r.Model);
  double now = 0;
  const auto clock = [&now] {
    const double t = now;
    now += kThumbTickMs / 2.0;
    return t;
  };
  EXPECT_TRUE(ThumbLoaderTick(*r.Model, clock));
  EXPECT_EQ(r.Model->Cache.Names.size(), 1u + 3u);  // after 50, 100 and 150 ms
  EXPECT_FALSE(ThumbLoaderTick(*r.Model, clock));
  EXPECT_EQ(r.Model->Cache.Names.size(), 1u + 4u);
  // A fast machine loads everything in one tick.
  r.Jigsaw("e.zvq", 0x00FF00);
  FillFileLists(*r.Model);
  EXPECT_FALSE(ThumbLoaderTick(*r.Model, [] { return 0.0; }));
  EXPECT_EQ(r.Model->Cache.Names.size(), 1u + 5u);
  // A saved picture redraws its file's thumbnail (named in any case), never the shared blank.
  TDibHolder green;
  ASSERT_TRUE(CreateDib24(*green, 40, 30));
  FillDibRect(*green, 0, 0, 40, 30, 0x00FF00);
  EXPECT_TRUE(RefreshCachedThumb(r.Model->Cache, "B.ZVQ", *green, nullptr));
  EXPECT_EQ(Pixel(**r.Model->Cache.Images[2], kListThumbW / 2, kListThumbH / 2), 0x00FF00u);
  const uint32_t blank = Pixel(**r.Model->Cache.Images[0], kListThumbW / 2, kListThumbH / 2);
  for (const char* name : {"---", "", "z.zvq"})
    EXPECT_FALSE(RefreshCachedThumb(r.Model->Cache, name, *green, nullptr)) << name;
  EXPECT_EQ(Pixel(**r.Model->Cache.Images[0], kListThumbW / 2, kListThumbH / 2), blank);
}

// --- Selecting ----------------------------------------------------------------------------

TEST(BrowserSelect, JigsawStartsFromTheDefaultsAndTakesItsHeader) {
  TBrowserRig r;
  const std::string path = r.Jigsaw("a.zvq", 0x0000FF, 160, 120, 320, 240);
  r.Session.Game.CurrentLevel.GameSeed = 99;  // anything left from before goes
  r.Session.Game.DefaultLevel.Level = 13;
  r.Session.Game.DefaultLevel.Rotate = 1;
  const TSelection sel = ReadSelectedFile(*r.Model, path);
  EXPECT_TRUE(sel.Exists && sel.Valid && sel.CanOpen);
  const TLevelRecord& cur = r.Session.Game.CurrentLevel;
  EXPECT_EQ(cur.GameSeed, 0);
  EXPECT_EQ(cur.ImageW, 320);
  EXPECT_EQ(cur.ImageH, 240);
  EXPECT_EQ(cur.JigTag, 42);
  EXPECT_EQ(cur.Rotate, 1);
  EXPECT_EQ(cur.Level, 13);
  TLevelTable table{};
  BuildLevelTable(table, 320, 240, TShapeStyle::Classic, TBorderStyle::None);
  EXPECT_EQ(cur.TileS, table[13].TileS);
  EXPECT_EQ(cur.TotalTileNum, table[13].TileNum);
  EXPECT_EQ(r.Model->Page.SelectedKind, kSelectedJigsaw);
  EXPECT_EQ(r.Model->PreviewCopy->Width, 160);
  EXPECT_EQ(Pixel(*r.Model->PreviewCopy, 10, 10), 0x0000FFu);
  // The level the page shows is the one the record got.
  EXPECT_EQ(r.Model->Page.Position, 13);
}

TEST(BrowserSelect, DamagedAndHostileFilesAreRefusedWithoutHarm) {
  TBrowserRig r;
  const std::vector<uint8_t> good = Slurp(r.Jigsaw("good.zvq", 0x0000FF));
  std::vector<std::pair<std::string, std::vector<uint8_t>>> files = {
      {"cut.zvq", std::vector<uint8_t>(good.begin(), good.begin() + long(good.size() / 2))},
      {"noise.sv1", std::vector<uint8_t>(4096, 0x5A)},
  };
  // A preview whose count claims far more bytes than the file holds.
  std::vector<uint8_t> huge(good.begin(), good.begin() + 27);
  for (uint8_t b : {0xFF, 0xFF, 0xFF, 0x7F}) huge.push_back(b);
  huge.resize(200, 0);
  files.push_back({"huge.zvq", huge});
  for (auto& [name, bytes] : files) {
    const std::string path = (name.ends_with(".sv1") ? r.Session.Paths.sSavedDir : r.Session.Paths.sJigsawDir) + name;
    Spit(path, bytes);
    r.Session.Game.CurrentLevel = TLevelRecord{};
    const TSelection sel = ReadSelectedFile(*r.Model, path);
    EXPECT_TRUE(sel.Exists) << name;
    EXPECT_FALSE(sel.Valid) << name;
    EXPECT_FALSE(sel.CanOpen) << name;
    EXPECT_EQ(r.Model->Page.SelectedKind, kSelectedNone) << name;
  }
  const TSelection missing = ReadSelectedFile(*r.Model, r.Session.Paths.sJigsawDir + "gone.zvq");
  EXPECT_FALSE(missing.Exists);
  FillFileLists(*r.Model);
  while (LoadNextThumb(*r.Model)) {
  }
  for (const TBrowserItem& item : r.Model->Jigs)
    EXPECT_EQ(item.ImageIndex, item.Caption == "good" ? 1 : 0) << item.Caption;
}

// --- Paths, captions, names ---------------------------------------------------------------

TEST(BrowserNames, SelectedPathByMode) {
  TBrowserRig r;
  r.Model->CurrentFolder = r.Session.Paths.sJigsawDir;
  std::string text = "  picture.zvq ";
  EXPECT_EQ(SelectedPath(*r.Model, text), r.Session.Paths.sJigsawDir + "picture.zvq");
  EXPECT_EQ(text, "picture.zvq");
  r.Model->BrowseMode = kBrowseSave;
  text = "My game.sv1";
  EXPECT_EQ(SelectedPath(*r.Model, text), r.Session.Paths.sSavedDir + "My game.sv1");
  EXPECT_EQ(text, "My game");
  text = "../../etc/passwd";
  EXPECT_EQ(SelectedPath(*r.Model, text), r.Session.Paths.sSavedDir + "passwd.sv1");
}

TEST(BrowserNames, SavedGameNamesRefuseSeparatorsAndQuestionMarks) {
  struct TCase {
    const char* Typed;
    TNameCheck Check;
    const char* After;
  } cases[] = {
      {"  Sunday ", kNameOk, "Sunday"},
      {"Sunday.sv1", kNameOk, "Sunday"},
      {"a*b <c> | d: é", kNameOk, "a*b <c> | d: é"},
      {"", kNameEmpty, ""},
      {"   ", kNameEmpty, ""},
      {".sv1", kNameEmpty, ""},
      {"a\\b", kNameInvalid, "a\\b"},
      {"a/b", kNameInvalid, "a/b"},
      {"why?", kNameInvalid, "why?"},
      {"..", kNameInvalid, "."},
  };
  for (const TCase& c : cases) {
    std::string name = c.Typed;
    EXPECT_EQ(CheckSavedGameName(name), c.Check) << c.Typed;
    EXPECT_EQ(name, c.After) << c.Typed;
  }
}

// The seed rule itself is tested with the open; here only what the page hands it.
// --- Deleting -----------------------------------------------------------------------------

TEST(BrowserDelete, FileItemAndCacheNameGoAndANewFileGetsAFreshThumbnail) {
  TBrowserRig r;
  const std::string a = r.Jigsaw("a.zvq", 0x0000FF);
  r.Jigsaw("b.zvq", 0x00FF00);
  FillFileLists(*r.Model);
  while (LoadNextThumb(*r.Model)) {
  }
  ASSERT_TRUE(DeleteListedFile(*r.Model, kPageJigs, a));
  EXPECT_FALSE(fs::exists(a));
  ASSERT_EQ(r.Model->Jigs.size(), 1u);
  EXPECT_EQ(r.Model->Jigs[0].Caption, "b");
  EXPECT_EQ(r.Model->Cache.Names, (std::vector<std::string>{"---", "", "b.zvq"}));
  EXPECT_FALSE(DeleteListedFile(*r.Model, kPageJigs, a));  // already gone

  r.Jigsaw("a.zvq", 0x00FFFF);  // downloaded again
  FillFileLists(*r.Model);
  while (LoadNextThumb(*r.Model)) {
  }
  const int32_t index = r.Model->Jigs[0].ImageIndex;
  EXPECT_EQ(index, 3);
  EXPECT_EQ(Pixel(**r.Model->Cache.Images[size_t(index)], 90, 67), 0x00FFFFu);
}

TEST(BrowserDelete, TheOpenSavedGameIsForgottenAndCountsAsChanged) {
  TBrowserRig r;
  Spit(r.Saved("open.sv1"), {1, 2, 3});
  Spit(r.Saved("other.sv1"), {1, 2, 3});
  r.Session.sSolve = r.Saved("open.sv1");
  FillFileLists(*r.Model);
  ASSERT_TRUE(DeleteListedFile(*r.Model, kPageGames, r.Saved("other.sv1")));
  EXPECT_FALSE(r.Session.sSolve.empty());
  EXPECT_FALSE(r.Session.SaveModified);
  ASSERT_TRUE(DeleteListedFile(*r.Model, kPageGames, r.Saved("open.sv1")));
  EXPECT_TRUE(r.Session.sSolve.empty());
  EXPECT_TRUE(r.Session.SaveModified);
  EXPECT_TRUE(r.Session.AutoSaveModified);
  EXPECT_TRUE(r.Model->Games.empty());
}

TEST(BrowserDelete, LoaderKeepsItsPlaceWhenAnEarlierItemGoes) {
  TBrowserRig r;
  for (const char* n : {"a.zvq", "b.zvq", "c.zvq"}) r.Jigsaw(n, 0x0000FF);
  FillFileLists(*r.Model);
  ASSERT_TRUE(LoadNextThumb(*r.Model));
  ASSERT_TRUE(LoadNextThumb(*r.Model));  // at b
  ASSERT_TRUE(DeleteListedFile(*r.Model, kPageJigs, r.Session.Paths.sJigsawDir + "a.zvq"));
  while (LoadNextThumb(*r.Model)) {
  }
  EXPECT_GT(r.Model->Jigs[1].ImageIndex, 0);  // c was not skipped
}

}  // namespace
