#include "download/download_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <tuple>

#include "download/recording_view.h"
#include "foundation/lang.h"
#include "support/jigsaw_site.h"
#include "support/local_servers.h"
#include "support/rar_writer.h"

namespace {

uint32_t Pixel(const TDibImage& d, int x, int y) { return uint32_t(GetDibPixel(d, x, y)); }

// Each channel of a JPEG pixel within a small distance of the colour.
bool Near(uint32_t c, uint32_t want) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(int((c >> shift) & 255) - int((want >> shift) & 255)) > 12) return false;
  }
  return true;
}

}  // namespace

TEST(DownloadList, PreviewFit) {
  struct TCase {
    int32_t Sw, Sh, W, H;
  };
  // Within 180 x 135 nothing changes; larger ones shrink to the side that limits them.
  for (const TCase& c :
       {TCase{180, 135, 180, 135}, TCase{100, 50, 100, 50}, TCase{1, 1, 1, 1}, TCase{360, 270, 180, 135},
        TCase{270, 135, 180, 90}, TCase{100, 400, 33, 135}, TCase{181, 135, 180, 134}, TCase{180, 136, 178, 135},
        TCase{20000, 2, 180, 1}, TCase{2, 20000, 1, 135}, TCase{0, 10, 0, 0}}) {
    int32_t w = -1, h = -1;
    PreviewFit(c.Sw, c.Sh, w, h);
    EXPECT_EQ(w, c.W) << c.Sw << "x" << c.Sh;
    EXPECT_EQ(h, c.H) << c.Sw << "x" << c.Sh;
  }
}

TEST(DownloadList, ItemsPreviewsAndMarks) {
  TPlayerFolders f;
  // A blank line takes its cell all the same, so image indexes follow line numbers.
  f.WriteList("Alpha\r\n   \r\n  Beta Cat \nbig\rnopreview\n\n");
  f.WritePreview("alpha", 100, 50, QColor(255, 0, 0));
  f.WritePreview("big", 360, 270, QColor(0, 0, 255));
  f.WritePreview("beta cat", 10, 10, QColor(0, 255, 0));
  Spit(f.Thumb + "nopreview.jpg", {'n', 'o', 't'});
  f.WriteJigsaw("beta cat", {1, 2, 3});

  TDownloadList list;
  ASSERT_TRUE(LoadDownloadList(list, f.Thumb, f.Jigsaws, ".zvq"));
  ASSERT_EQ(list.Items.size(), 4u);
  EXPECT_EQ(list.Lines.size(), 6u);  // the last line break ends an empty line
  EXPECT_EQ(list.Cells.size(), 7u);
  // A preview that does not decode leaves the blank cell and the full cell size.
  const std::vector<std::tuple<std::string, int32_t, uint32_t, int32_t>> want = {
      {"alpha", 1, 100u | 50u << 16, 0},
      {"beta cat", 3, 10u | 10u << 16, 1},
      {"big", 4, 180u | 135u << 16, 0},
      {"nopreview", 0, 180u | 135u << 16, 0}};
  for (size_t i = 0; i < want.size(); ++i) {
    const TDownloadItem& item = list.Items[i];
    EXPECT_EQ(std::tie(item.Caption, item.ImageIndex, item.Data, item.StateIndex), want[i]) << i;
  }
  EXPECT_FALSE(list.Cells[5]);

  const TDibImage& blank = **list.Cells[0];
  EXPECT_EQ(blank.Width, 180);
  EXPECT_EQ(Pixel(blank, 0, 0), 0u);
  EXPECT_EQ(Pixel(blank, 90, 70), 0u);
  // The small preview is copied at the top-left corner on white.
  const TDibImage& a = **list.Cells[1];
  EXPECT_TRUE(Near(Pixel(a, 0, 0), 0x0000FF));
  EXPECT_TRUE(Near(Pixel(a, 99, 49), 0x0000FF));
  EXPECT_EQ(Pixel(a, 100, 0), 0xFFFFFFu);
  EXPECT_EQ(Pixel(a, 0, 50), 0xFFFFFFu);
  // The large one fills the whole cell.
  const TDibImage& b = **list.Cells[4];
  EXPECT_TRUE(Near(Pixel(b, 0, 0), 0xFF0000));
  EXPECT_TRUE(Near(Pixel(b, 179, 134), 0xFF0000));

  // The same folder in another letter case is the list already read.
  std::string upper = f.Thumb;
  for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_FALSE(LoadDownloadList(list, upper, f.Jigsaws, ".zvq"));
  EXPECT_EQ(list.Items.size(), 4u);

  // Marks follow the jigsaw folder both ways.
  f.WriteJigsaw("alpha", {1});
  std::filesystem::remove(f.Jigsaws + "beta cat.zvq");
  for (int pass = 0; pass < 2; ++pass) {  // and stay as they are when nothing changed
    RefreshDownloadedMarks(list, f.Jigsaws, ".zvq");
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(list.Items[i].StateIndex, i == 0 ? 1 : 0) << i;
  }

  // A sliver one pixel high keeps its height but not its width: it is shrunk, not cut off.
  TPlayerFolders sliver;
  QImage halves(360, 1, QImage::Format_RGB888);
  halves.fill(QColor(255, 0, 0));
  for (int x = 180; x < 360; ++x) halves.setPixelColor(x, 0, QColor(0, 0, 255));
  Spit(sliver.Thumb + "sliver.jpg", QtEncoded(halves, "JPG"));
  sliver.WriteList("sliver\n");
  ASSERT_TRUE(LoadDownloadList(list, sliver.Thumb, sliver.Jigsaws, ".zvq"));
  ASSERT_EQ(list.Items.size(), 1u);
  EXPECT_EQ(list.Items[0].Data, 180u | 1u << 16);
  const TDibImage& s = **list.Cells[1];
  EXPECT_TRUE(Near(Pixel(s, 20, 0), 0x0000FF));
  EXPECT_TRUE(Near(Pixel(s, 160, 0), 0xFF0000)) << std::hex << Pixel(s, 160, 0);
}

TEST(DownloadList, MissingEmptyAndHostileLists) {
  TPlayerFolders f;
  TDownloadList list;
  EXPECT_TRUE(LoadDownloadList(list, f.Thumb, f.Jigsaws, ".zvq"));  // no list file
  EXPECT_TRUE(list.Items.empty());
  EXPECT_TRUE(list.Cells.empty());

  // Oversized: refused whole.
  TPlayerFolders big;
  big.WriteList(std::string(size_t(kMaxDownloadListBytes) + 1, 'a'));
  EXPECT_TRUE(LoadDownloadList(list, big.Thumb, big.Jigsaws, ".zvq"));
  EXPECT_TRUE(list.Items.empty());
  // One byte less is still read.
  TPlayerFolders full;
  full.WriteList(std::string(size_t(kMaxDownloadListBytes), 'a'));
  ASSERT_TRUE(LoadDownloadList(list, full.Thumb, full.Jigsaws, ".zvq"));
  EXPECT_EQ(list.Items.size(), 1u);

  // Very many lines: the first kMaxDownloadListLines are kept.
  TPlayerFolders many;
  std::string text;
  for (int i = 0; i < kMaxDownloadListLines + 50; ++i) text += "j" + std::to_string(i) + "\n";
  many.WriteList(text);
  ASSERT_TRUE(LoadDownloadList(list, many.Thumb, many.Jigsaws, ".zvq"));
  ASSERT_EQ(list.Items.size(), size_t(kMaxDownloadListLines));
  EXPECT_EQ(list.Items.back().Caption, "j" + std::to_string(kMaxDownloadListLines - 1));

  // Names that lead out of the folder get no preview; bytes of any kind are kept as text;
  // a truncated preview is refused.
  TPlayerFolders hostile;
  std::filesystem::create_directory(hostile.Root.Path() / "x");
  Spit(hostile.Root.File("x") + "/evil.jpg", QtPictureBytes("JPG", 20, 20, QColor(1, 2, 3)));
  std::vector<uint8_t> cut = QtPictureBytes("JPG", 300, 300, QColor(9, 9, 9));
  cut.resize(cut.size() / 2);
  Spit(hostile.Thumb + "cut.jpg", cut);
  hostile.WriteList("../x/evil\n\xff\xfe\x01zz\ncut\n");
  ASSERT_TRUE(LoadDownloadList(list, hostile.Thumb, hostile.Jigsaws, ".zvq"));
  ASSERT_EQ(list.Items.size(), 3u);
  EXPECT_EQ(list.Items[0].Caption, "../x/evil");
  EXPECT_EQ(list.Items[0].ImageIndex, 0);
  EXPECT_EQ(list.Items[1].Caption, "\xff\xfe\x01zz");
  EXPECT_EQ(list.Items[2].ImageIndex, 0);
}

TEST(DownloadList, SelectionChecks) {
  struct TCase {
    int32_t Mode;
    int32_t Selected;
    std::vector<int32_t> States;
    const char* Problem;  // nullptr: a run may start
  };
  for (const TCase& c : {TCase{kDownSelected, -1, {0, 0}, "MS_SelJigsaw"}, TCase{kDownSelected, 1, {1, 1}, nullptr},
                         TCase{kDownNew, -1, {1, 1}, "MS_NoNewJigs"}, TCase{kDownNew, -1, {1, 0}, nullptr},
                         TCase{kDownAll, -1, {1, 1}, nullptr}, TCase{kDownAll, -1, {}, "MS_ListEmpty"},
                         TCase{kDownSelected, 0, {}, "MS_ListEmpty"}}) {
    SCOPED_TRACE(c.Problem ? c.Problem : "none");
    TRecordingView w;
    w.Mode = c.Mode;
    w.Selected = c.Selected;
    for (int32_t st : c.States) w.Items.push_back({"x", st});
    EXPECT_EQ(CheckDownloadSelection(w, false), c.Problem == nullptr);
    EXPECT_TRUE(w.Messages.empty());
    EXPECT_EQ(CheckDownloadSelection(w, true), c.Problem == nullptr);
    if (c.Problem) {
      EXPECT_EQ(w.Messages, (std::vector<TShownMessage>{{c.Problem, kMbIconExclamation}}));
    } else {
      EXPECT_TRUE(w.Messages.empty());
    }
  }
}

// The list file's lines as any editor ends them, and the folder it is read from.
TEST(DownloadList, ListLinesAndFolder) {
  TTempFolder dir;
  struct TCase {
    std::string Text;
    std::vector<std::string> Lines;
  };
  for (const TCase& c :
       {TCase{"", {}}, TCase{"a", {"a"}}, TCase{"a\r\n", {"a"}}, TCase{"a\r\nb\rc\n\nd", {"a", "b", "c", "", "d"}},
        TCase{"\r\n\r\n", {"", ""}}, TCase{"x\n\ry", {"x", "", "y"}}, TCase{"x\r\r\n", {"x", ""}}}) {
    Spit(dir.File("jiglist.txt"), std::vector<uint8_t>(c.Text.begin(), c.Text.end()));
    std::vector<std::string> lines = {"stale"};
    EXPECT_TRUE(ReadDownloadListLines(dir.File("jiglist.txt"), lines));
    EXPECT_EQ(lines, c.Lines) << c.Text;
  }
  std::vector<std::string> lines = {"stale"};
  EXPECT_FALSE(ReadDownloadListLines(dir.File("missing.txt"), lines));
  EXPECT_TRUE(lines.empty());

  TGameOptions o;
  EXPECT_EQ(DownloadListFolder(o, "/game/thumbnails/"), "/game/thumbnails/");
  EXPECT_EQ(DownloadListFolder(o, "/game/thumbnails"), "/game/thumbnails/");
  o.ThumbPath = "/home/p/lists";
  EXPECT_EQ(DownloadListFolder(o, "/game/thumbnails/"), "/home/p/lists/") << "the player's folder wins";
  o.ThumbPath = "/home/p/lists/";
  EXPECT_EQ(DownloadListFolder(o, ""), "/home/p/lists/");
  EXPECT_EQ(DownloadListFolder(TGameOptions(), ""), "");
}

namespace {

// A run's window: the busy switches, the pauses, and one answer to every question.
class TRunView : public TRecordingView {
 public:
  std::vector<bool> Busy;
  int Pauses = 0;
  int Answer = kIdOk;
  std::function<void()> OnPause;

  int MsgBox(const std::string& text, int flags) override {
    TRecordingView::MsgBox(text, flags);
    return Answer;
  }
  void SetDownloadBusy(bool busy) override { Busy.push_back(busy); }
  void Pause(int32_t) override {
    ++Pauses;
    if (OnPause) OnPause();
  }
};

std::string JigsawText(const std::string& path) {
  const std::vector<uint8_t> b = Slurp(path);
  return std::string(b.begin(), b.end());
}

}  // namespace

// The runs: the selected jigsaw after asking to replace the player's; new ones skipping what the
// player has; all of them; a failure counted and the run going on, one the source cannot serve
// ending it; Stop ending a run quietly and closing leaving the window alone.
TEST(DownloadRun, SelectedNewAndAll) {
  TTempFolder web, temp, jigsaws;
  const std::string site = web.File("zorva/jigsaws_quix/");
  std::filesystem::create_directories(site);
  WriteRaw(site + "info.dat", "ext:rar\n");
  for (const std::string n : {"a", "b", "have"})
    Spit(site + n + ".rar", MakeRar4({{.Name = n + ".zvq", .Data = RarBytes(n)}}));
  Spit(site + "broken.rar", MakeRar4({{.Name = "broken.zvq", .Data = RarBytes("x"), .BadHeaderCrc = true}}));
  WriteRaw(jigsaws.File("have.zvq"), "old");
  TStaticServer server(web.Path());
  TGameOptions options;
  options.DnSrc = server.Host();
  const auto fresh = [&] {
    TDownloadState s;
    s.HttpClient = std::make_unique<TMyHttp>();
    s.sTempDir = temp.File("");
    s.sJigsawDir = jigsaws.File("");
    s.sJigExt = ".zvq";
    return s;
  };
  const std::vector<TRecordingView::TItem> items = {{"have", 1}, {"a", 0}, {"broken", 0}, {"b", 0}, {"missing", 0}};

  {  // one the player does not have is fetched without a question
    TDownloadState s = fresh();
    TRunView view;
    view.Items = items;
    view.Mode = kDownSelected;
    view.Selected = 1;
    RunDownload(s, options, view, false, 0);
    EXPECT_TRUE(view.Messages.empty());
    EXPECT_EQ(JigsawText(jigsaws.File("a.zvq")), "a");
    std::filesystem::remove(jigsaws.File("a.zvq"));
  }
  for (const int answer : {kIdCancel, kIdOk}) {
    TDownloadState s = fresh();
    TRunView view;
    view.Items = items;
    view.Mode = kDownSelected;
    view.Selected = 0;
    view.Answer = answer;
    RunDownload(s, options, view, false, 0);
    ASSERT_EQ(view.Messages.size(), 1u);
    EXPECT_EQ(view.Messages[0].Flags, kMbOkCancel | kMbIconQuestion);
    EXPECT_EQ(JigsawText(jigsaws.File("have.zvq")), answer == kIdOk ? "have" : "old");
    EXPECT_EQ(view.Busy, (answer == kIdOk ? std::vector<bool>{true, false} : std::vector<bool>{}));
  }
  WriteRaw(jigsaws.File("have.zvq"), "old");

  {
    TDownloadState s = fresh();
    TRunView view;
    view.Items = items;
    view.Mode = kDownNew;
    RunDownload(s, options, view, true, 0);
    EXPECT_EQ(JigsawText(jigsaws.File("have.zvq")), "old");
    EXPECT_EQ(JigsawText(jigsaws.File("a.zvq")), "a");
    EXPECT_EQ(JigsawText(jigsaws.File("b.zvq")), "b");
    EXPECT_FALSE(std::filesystem::exists(jigsaws.File("broken.zvq")));
    std::vector<int32_t> states;
    for (const auto& item : view.Items) states.push_back(item.State);
    EXPECT_EQ(states, (std::vector<int32_t>{1, 1, 0, 1, 0}));
    EXPECT_EQ(view.Pauses, 4);
    EXPECT_EQ(view.Busy, (std::vector<bool>{true, false}));
    ASSERT_FALSE(view.Messages.empty());
    EXPECT_EQ(view.Messages.back(), (TShownMessage{"MS_SomeFailed[2]", kMbOk}));
  }
  {
    TDownloadState s = fresh();
    TRunView view;
    view.Items = items;
    view.Mode = kDownAll;
    view.OnPause = [&] { s.DownloadStop = view.Pauses == 2; };
    RunDownload(s, options, view, false, 0);
    EXPECT_EQ(JigsawText(jigsaws.File("have.zvq")), "have");
    EXPECT_EQ(view.Pauses, 2);
    EXPECT_EQ(view.Busy, (std::vector<bool>{true, false}));
    EXPECT_TRUE(view.Messages.empty());
  }
  {
    TDownloadState s = fresh();
    TRunView view;
    view.Items = items;
    view.Mode = kDownAll;
    view.OnPause = [&] { s.DownloadClosing = true; };
    RunDownload(s, options, view, false, 0);
    EXPECT_EQ(view.Pauses, 1);
    EXPECT_EQ(view.Busy, (std::vector<bool>{true}));
    EXPECT_TRUE(view.Messages.empty());
  }
}
