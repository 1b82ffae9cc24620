#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <utility>

#include "foundation/picture_loading.h"
#include "game/embedded_file.h"
#include "game/jigsaw_file.h"
#include "pack.h"
#include "platform/bitmap.h"
#include "support/file_bytes.h"
#include "support/hostile_input.h"
#include "support/qt_picture_bytes.h"

namespace {
// A picture of four solid quadrants: red top left, green top right, blue bottom left, white.
void SaveQuadrants(const std::string& path, int w, int h) {
  QImage image(w, h, QImage::Format_RGB888);
  QPainter p(&image);
  p.fillRect(0, 0, w / 2, h / 2, Qt::red);
  p.fillRect(w / 2, 0, w - w / 2, h / 2, Qt::green);
  p.fillRect(0, h / 2, w / 2, h - h / 2, Qt::blue);
  p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, Qt::white);
  p.end();
  ASSERT_TRUE(image.save(QString::fromStdString(path), "PNG"));
}

bool Near(int32_t color, uint32_t want) {
  for (int s = 0; s < 24; s += 8)
    if (std::abs(int((color >> s) & 255) - int((want >> s) & 255)) > 40) return false;
  return true;
}

// The width and height of a JPEG's frame header, found without decoding.
bool JpegFrameSize(const std::vector<uint8_t>& j, int& w, int& h) {
  for (size_t i = 2; i + 9 < j.size();) {
    if (j[i] != 0xFF) return false;
    uint8_t m = j[i + 1];
    size_t len = size_t(j[i + 2]) << 8 | j[i + 3];
    if (m == 0xC0 || m == 0xC1 || m == 0xC2) {
      h = j[i + 5] << 8 | j[i + 6];
      w = j[i + 7] << 8 | j[i + 8];
      return true;
    }
    i += 2 + len;
  }
  return false;
}

class JigsawFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    temp = Path("~zjtemp.bmp");
    std::ofstream(Path("info.txt")) << "Four quadrants\nred green blue white\n";
    std::memset(&level, 0x5A, sizeof level);
    saved = level;
    SetImageBlank(load, 7, 5, true, 0x00123456);
  }
  std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }

  // Packs a quadrant picture of w x h with the packer tool's code.
  std::string Pack(int w, int h, const char* name = "quads.zvq", int outW = 0, int outH = 0) {
    SaveQuadrants(Path("quads.png"), w, h);
    TPackOptions o;
    o.Picture = Path("quads.png");
    o.Description = Path("info.txt");
    o.Width = outW;
    o.Height = outH;
    std::string error;
    EXPECT_TRUE(PackJigsaw(o, Path(name), &error)) << error;
    return Path(name);
  }

  TJigsawOpenTarget Target() { return TJigsawOpenTarget{level, load, temp, {}, {}}; }

  // Nothing of the target moved: the level record byte for byte, and the loaded picture.
  void ExpectUntouched() {
    EXPECT_EQ(std::memcmp(&level, &saved, sizeof level), 0);
    EXPECT_EQ(load.Picture->Width, 7);
    EXPECT_EQ(GetDibPixel(*load.Picture, 3, 2), 0x00123456);
  }

  QTemporaryDir dir;
  std::string temp;
  TLevelRecord level;
  TLevelRecord saved;
  TImageControl load;
};
}  // namespace

TEST_F(JigsawFile, PackedFileHasTheLayoutAndKeysOfTheFormat) {
  const std::string path = Pack(320, 240);
  const std::vector<uint8_t> f = Slurp(path);
  ASSERT_GT(f.size(), 40u);
  EXPECT_EQ(std::memcmp(f.data(), "ZORVA1.0\0", 9), 0);
  EXPECT_EQ(Int32At(f, 9), 320);
  EXPECT_EQ(Int32At(f, 13), 240);
  // The preview is fixed-scrambled: its first bytes come back as a JFIF JPEG.
  const int32_t previewSize = Int32At(f, 27);
  std::vector<uint8_t> preview(f.begin() + 31, f.begin() + 31 + previewSize);
  for (auto& b : preview) b ^= PreviewKey;
  EXPECT_TRUE(IsJfifData(preview));  // its size: see the select mode

  // The description follows with its rotating key.
  const size_t descAt = 31 + size_t(previewSize);
  const char text[] = "Four quadrants\nred green blue white\n";
  ASSERT_EQ(Int32At(f, descAt), int32_t(sizeof text - 1));
  EXPECT_EQ(f[descAt + 4] ^ DescriptionKey, text[0]) << "the rotating key starts at the description key";

  TBinaryReader r;
  ASSERT_TRUE(r.Open(path));
  TLevelRecord lv{};
  lv.SideNum = 1;
  lv.SidePos[1] = int32_t(descAt);
  std::vector<uint8_t> description, picture;
  ASSERT_TRUE(ReadJigsawVariant(r, lv, description, picture));
  EXPECT_EQ(std::string(description.begin(), description.end()), text);
  EXPECT_TRUE(IsJfifData(picture));
  EXPECT_EQ(r.Remaining(), 0);

  // A variant the record cannot address is refused.
  lv.SideNum = 3;
  EXPECT_FALSE(ReadJigsawVariant(r, lv, description, picture));
  lv.SideNum = 1;
  lv.SideInd = 1;
  EXPECT_FALSE(ReadJigsawVariant(r, lv, description, picture));
}

TEST_F(JigsawFile, PackerCoversAndCropsToTheAskedSize) {
  const std::string path = Pack(400, 100, "wide.zvq", 200, 100);
  TJigsawOpenTarget t = Target();
  ASSERT_TRUE(OpenJigsaw(path, OpenJigsawSelect, t));
  EXPECT_EQ(level.ImageW, 200);
  EXPECT_EQ(level.ImageH, 100);
  // The middle of a 400-wide picture: the left half is red over blue, the right green over white.
  TBinaryReader r;
  ASSERT_TRUE(r.Open(path));
  std::vector<uint8_t> description, picture;
  ASSERT_TRUE(ReadJigsawVariant(r, level, description, picture));
  TDibHolder decoded;
  ASSERT_TRUE(DecodeJpeg(*decoded, picture.data(), picture.size()));
  EXPECT_EQ(decoded->Width, 200);
  EXPECT_EQ(decoded->Height, 100);
  EXPECT_TRUE(Near(GetDibPixel(*decoded, 5, 5), 0x000000FF));
  EXPECT_TRUE(Near(GetDibPixel(*decoded, 195, 95), 0x00FFFFFF));
}

TEST_F(JigsawFile, SelectModeFillsTheLevelRecordAndLoadsThePreview) {
  const std::string path = Pack(320, 240);
  TJigsawOpenTarget t = Target();
  t.PlayArea = [](int32_t& w, int32_t& h) {
    w = 200;
    h = 100;
  };
  ASSERT_TRUE(OpenJigsaw(path, OpenJigsawSelect, t));
  // 200 x 100 is wider than 4:3, so the height limits: 240 -> 100, 320 -> 133. The rest of
  // the record is the caller's.
  TLevelRecord expect = saved;
  expect.ImageW = 320;
  expect.ImageH = 240;
  expect.SideNum = 1;
  expect.SideInd = 0;
  expect.SidePos[1] = 31 + Int32At(Slurp(path), 27);
  expect.JigTag = 0;
  expect.FitImageW = 133;
  expect.FitImageH = 100;
  EXPECT_EQ(std::memcmp(&level, &expect, sizeof level), 0);

  EXPECT_EQ(load.Picture->Width, PreviewBoxW);  // 320 x 240 fits the cell exactly
  EXPECT_EQ(load.Picture->Height, PreviewBoxH);
  EXPECT_TRUE(Near(GetDibPixel(*load.Picture, 5, 5), 0x000000FF));
  EXPECT_TRUE(Near(GetDibPixel(*load.Picture, 175, 130), 0x00FFFFFF));
}

TEST_F(JigsawFile, ThumbnailModeLoadsThePreviewOnly) {
  const std::string path = Pack(64, 48);
  TJigsawOpenTarget t = Target();
  ASSERT_TRUE(OpenJigsaw(path, OpenJigsawThumbnail, t));
  EXPECT_EQ(std::memcmp(&level, &saved, sizeof level), 0);
  // A picture smaller than the cell is its own preview, unscaled.
  EXPECT_EQ(load.Picture->Width, 64);
  EXPECT_EQ(load.Picture->Height, 48);
  EXPECT_TRUE(Near(GetDibPixel(*load.Picture, 60, 2), 0x0000FF00));
}

TEST_F(JigsawFile, BitmapPreviewsLoadToo) {
  auto encode = [](const char* format, int w, int h) { return QtPictureBytes(format, w, h, QColor(30, 160, 220)); };
  TJigsawHeader h;
  h.ImageW = 64;
  h.ImageH = 48;
  // A one-bit bitmap, as some picture tools write previews.
  QImage mono(40, 30, QImage::Format_Mono);
  mono.setColorTable({qRgb(30, 160, 220), qRgb(0, 0, 0)});
  mono.fill(0);
  std::vector<uint8_t> bmp = QtEncoded(mono, "BMP");
  const std::vector<uint8_t> text = {'h', 'i'};
  ASSERT_TRUE(WriteJigsawFile(Path("bmp.zvq"), h, bmp, text, encode("JPG", 64, 48)));
  TJigsawOpenTarget t = Target();
  ASSERT_TRUE(OpenJigsaw(Path("bmp.zvq"), OpenJigsawSelect, t));
  EXPECT_EQ(level.ImageW, 64);
  EXPECT_EQ(load.Picture->Width, 40);
  EXPECT_EQ(load.Picture->Height, 30);
  EXPECT_EQ(GetDibPixel(*load.Picture, 39, 29), 0x00DCA01E);

  // A bitmap whose header promises more pixels than it carries is refused.
  SetImageBlank(load, 7, 5, true, 0x00123456);
  level = saved;
  bmp.resize(bmp.size() / 2);
  ASSERT_TRUE(WriteJigsawFile(Path("bmp.zvq"), h, bmp, text, encode("JPG", 64, 48)));
  EXPECT_FALSE(OpenJigsaw(Path("bmp.zvq"), OpenJigsawSelect, t));
  ExpectUntouched();
}

TEST_F(JigsawFile, FitToAreaKeepsTheAspectAndNeverEnlarges) {
  TLevelRecord lv{};
  lv.ImageW = 1600;
  lv.ImageH = 1200;
  // Room enough: unchanged; narrower than 4:3: the width limits; wider: the height; a degenerate
  // area still gives a picture.
  const int32_t cases[][4] = {{2000, 2000, 1600, 1200}, {1000, 1000, 1000, 750}, {1280, 600, 800, 600}, {0, -5, 1, 1}};
  for (const auto& c : cases) {
    FitPictureToArea(lv, c[0], c[1]);
    EXPECT_EQ(lv.FitImageW, c[2]) << c[0] << "x" << c[1];
    EXPECT_EQ(lv.FitImageH, c[3]) << c[0] << "x" << c[1];
  }
}

// A picture is sane when each side is 1 .. kMaxBitmapSide and the cut map, five pixels larger
// each way in 24-bit rows padded to four bytes, fits the bitmap budget: tried at each limit and
// one past it (a 10917-pixel width fills the budget to the byte).
TEST(SanePictureSize, EachSideAndTheCutMapsBytesAtTheirLimits) {
  EXPECT_TRUE(IsSanePictureSize(1, 1));
  for (auto [w, h] : {std::pair{0, 1}, std::pair{1, 0}, std::pair{-1, 5}, std::pair{5, -1}}) {
    EXPECT_FALSE(IsSanePictureSize(w, h)) << w << "x" << h;
  }
  EXPECT_TRUE(IsSanePictureSize(kMaxBitmapSide, 1));
  EXPECT_TRUE(IsSanePictureSize(1, kMaxBitmapSide));
  EXPECT_FALSE(IsSanePictureSize(kMaxBitmapSide + 1, 1));
  EXPECT_FALSE(IsSanePictureSize(1, kMaxBitmapSide + 1));
  for (int32_t w : {10917, 13000, 20000, 32762, 32763, kMaxBitmapSide}) {
    const int64_t rowBytes = (int64_t(w + 5) * 24 + 31) / 32 * 4;
    const int32_t tallest = int32_t(kMaxBitmapBytes / rowBytes) - 5;
    ASSERT_LT(tallest, kMaxBitmapSide);
    EXPECT_TRUE(IsSanePictureSize(w, tallest)) << w;
    EXPECT_FALSE(IsSanePictureSize(w, tallest + 1)) << w;
  }
}

TEST_F(JigsawFile, ExtensionAndExistenceDecideFirst) {
  const std::string path = Pack(64, 48);
  TJigsawOpenTarget t = Target();
  std::filesystem::copy_file(path, Path("CAPS.ZVQ"));
  EXPECT_TRUE(OpenJigsaw(Path("CAPS.ZVQ"), OpenJigsawThumbnail, t));
  std::filesystem::copy_file(path, Path(".zvq"));  // listed by the jigsaw lists, so it opens
  EXPECT_TRUE(OpenJigsaw(Path(".zvq"), OpenJigsawThumbnail, t));
  std::filesystem::copy_file(path, Path("a.zvq.old"));
  EXPECT_FALSE(OpenJigsaw(Path("a.zvq.old"), OpenJigsawThumbnail, t));
  SetImageBlank(load, 7, 5, true, 0x00123456);
  std::filesystem::copy_file(path, Path("other.zvx"));
  EXPECT_FALSE(OpenJigsaw(Path("other.zvx"), OpenJigsawSelect, t));
  EXPECT_FALSE(OpenJigsaw(Path("missing.zvq"), OpenJigsawSelect, t));
  std::filesystem::create_directory(Path("folder.zvq"));
  EXPECT_FALSE(OpenJigsaw(Path("folder.zvq"), OpenJigsawSelect, t));
  EXPECT_FALSE(OpenJigsaw(path, TJigsawOpenMode(3), t));
  EXPECT_FALSE(OpenJigsaw(path, TJigsawOpenMode(255), t));
  ExpectUntouched();
}

TEST_F(JigsawFile, GameModeIsHandedToTheGameStartCode) {
  const std::string path = Pack(64, 48);
  TJigsawOpenTarget t = Target();
  EXPECT_FALSE(OpenJigsaw(path, OpenJigsawGame, t));
  std::string seen;
  t.OpenGame = [&](const std::string& p) {
    seen = p;
    return true;
  };
  EXPECT_TRUE(OpenJigsaw(path, OpenJigsawGame, t));
  EXPECT_EQ(seen, path);
  seen.clear();
  EXPECT_FALSE(OpenJigsaw(Path("missing.zvq"), OpenJigsawGame, t));
  EXPECT_TRUE(seen.empty());
  ExpectUntouched();
}

TEST_F(JigsawFile, HostileFilesAreRefusedAndChangeNothing) {
  const std::vector<uint8_t> good = Slurp(Pack(48, 32));
  ASSERT_LT(good.size(), 8000u);  // keeps the walk quick
  const std::string bad = Path("bad.zvq");
  auto openBoth = [&](const std::vector<uint8_t>& f) {
    Spit(bad, f);
    int opened = 0;
    for (TJigsawOpenMode mode : {OpenJigsawSelect, OpenJigsawThumbnail}) {
      TJigsawOpenTarget t = Target();
      if (OpenJigsaw(bad, mode, t)) {
        ++opened;
        level = saved;
        SetImageBlank(load, 7, 5, true, 0x00123456);
      }
      ExpectUntouched();
    }
    return opened;
  };
  ForEachHostileVariant(good, 300, [&](const std::vector<uint8_t>& f) { openBoth(f); });
  std::vector<uint8_t> longer = good;  // data after the picture is ignored
  longer.insert(longer.end(), 100, 0xEE);
  EXPECT_EQ(openBoth(longer), 2);
  // What random changes seldom hit: one byte of the magic, a size the bitmap limits refuse,
  // a preview of a picture kind that jigsaws do not hold.
  const std::vector<std::function<void(std::vector<uint8_t>&)>> spoils = {
      [](auto& f) { f[8] = ' '; }, [](auto& f) { PutInt32(f, 9, 30000), PutInt32(f, 13, 30000); },
      [](auto& f) {
        for (int i = 0; i < 4; ++i) f[31 + i] = uint8_t("GIF8"[i] ^ PreviewKey);
      }};
  for (const auto& spoil : spoils) {
    std::vector<uint8_t> f = good;
    spoil(f);
    EXPECT_EQ(openBoth(f), 0);
  }
}

// A jigsaw whose picture is empty is refused while the player is still choosing it.
TEST_F(JigsawFile, AnEmptyPictureIsRefusedAtTheChoice) {
  const std::vector<uint8_t> good = Slurp(Pack(48, 32));
  auto count = [&](size_t at) { return Int32At(good, at); };
  size_t at = 27;               // the preview's size
  at += 4 + size_t(count(at));  // the description's
  at += 4 + size_t(count(at));  // the picture's
  ASSERT_EQ(at + 4 + size_t(count(at)), good.size());
  std::vector<uint8_t> empty(good.begin(), good.begin() + long(at) + 4);
  PutInt32(empty, at, 0);
  Spit(Path("empty.zvq"), empty);
  TJigsawOpenTarget select = Target();
  EXPECT_FALSE(OpenJigsaw(Path("empty.zvq"), OpenJigsawSelect, select));
  ExpectUntouched();
}

TEST_F(JigsawFile, TagIsTheByteTheBlockIndexes) {
  TJigsawHeader h;
  h.TagBlock[0] = 10;  // points past the block
  EXPECT_EQ(h.Tag(), 0);
  const uint8_t block[10] = {3, 11, 22, 33, 44, 55, 66, 77, 88, 99};
  std::vector<uint8_t> f = Slurp(Pack(48, 32));
  std::memcpy(f.data() + 17, block, 10);
  Spit(Path("tagged.zvq"), f);
  TJigsawOpenTarget t = Target();
  ASSERT_TRUE(OpenJigsaw(Path("tagged.zvq"), OpenJigsawSelect, t));
  EXPECT_EQ(level.JigTag, 33);
}

TEST_F(JigsawFile, WriterRefusesWhatTheReaderCouldNotUse) {
  std::vector<uint8_t> jfif = Slurp(Pack(48, 32));  // any bytes that are no picture
  const std::vector<uint8_t> text = {'x'};
  TJigsawHeader h;
  h.ImageW = 48;
  h.ImageH = 32;
  EXPECT_FALSE(WriteJigsawFile(Path("w.zvq"), h, jfif, text, jfif));
  EXPECT_FALSE(std::filesystem::exists(Path("w.zvq")));
}

// Every jigsaw that comes with the game opens for the browser and holds a picture of its size.
TEST(DistributedJigsaws, EveryListedJigsawOpens) {
  const std::filesystem::path folder = std::filesystem::path(getenv("ZORVA_DATA_DIR")) / "jigsaws";
  std::ifstream list(folder / "distjiglist.txt");
  ASSERT_TRUE(list.good());
  QTemporaryDir dir;
  std::set<std::string> listed;
  for (std::string name; std::getline(list, name);) {
    if (!name.empty() && name.back() == '\r') name.pop_back();
    if (name.empty()) continue;
    SCOPED_TRACE(name);
    listed.insert(name);
    TLevelRecord level{};
    TImageControl load;
    TJigsawOpenTarget t{level, load, dir.filePath("temp").toStdString(), {}, {}};
    ASSERT_TRUE(OpenJigsaw((folder / name).string(), OpenJigsawSelect, t));
    EXPECT_GE(level.ImageW, 1024);
    EXPECT_GE(level.ImageH, 640);
    EXPECT_LE(level.ImageW, 4000);
    EXPECT_LE(level.ImageH, 3000);
    EXPECT_EQ(level.FitImageW, level.ImageW);  // no play area given: nothing to fit
    // The preview fills the browser's cell in one direction and fits in the other.
    const TDibImage& p = *load.Picture;
    EXPECT_TRUE((p.Width == PreviewBoxW && p.Height <= PreviewBoxH) ||
                (p.Height == PreviewBoxH && p.Width <= PreviewBoxW))
        << p.Width << "x" << p.Height;

    TBinaryReader r;
    ASSERT_TRUE(r.Open((folder / name).string()));
    std::vector<uint8_t> description, picture;
    ASSERT_TRUE(ReadJigsawVariant(r, level, description, picture));
    EXPECT_FALSE(description.empty());
    ASSERT_TRUE(IsJfifData(picture));
    int w = 0, h = 0;
    ASSERT_TRUE(JpegFrameSize(picture, w, h));
    EXPECT_EQ(w, level.ImageW);
    EXPECT_EQ(h, level.ImageH);
  }
  EXPECT_GE(listed.size(), 8u);
  // The list names every jigsaw of the folder.
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() == ".zvq") {
      EXPECT_TRUE(listed.count(entry.path().filename().string())) << entry.path();
    }
  }
}
