// The browser window driven as the player drives it, over folders holding shipped jigsaws and
// a damaged one.
#include <gtest/gtest.h>
#include <QApplication>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPalette>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <tuple>

#include "foundation/binary_file.h"
#include "foundation/lang_forms.h"
#include "game/game_open.h"
#include "game/jigsaw_file.h"
#include "game/saved_game.h"
#include "platform/message_box.h"
#include "support/folder_paths.h"
#include "support/recording_host.h"
#include "support/shown_text.h"
#include "support/temp_folder.h"
#include "ui/dialogs/dir_view_form.h"

namespace {

namespace fs = std::filesystem;

struct TBox {
  std::string Text;
  int Flags;
};

class DirView : public ::testing::Test {
 public:
  void SetUp() override {
    const std::string data = getenv("ZORVA_DATA_DIR");
    TGamePaths& p = session.Paths;
    PointPathsInto(p, dir);
    for (const char* name : {"dune-grass.zvq", "fallen-leaf.zvq", "ladybird.zvq"})
      fs::copy_file(data + "/jigsaws/" + name, p.sJigsawDir + name);
    std::ofstream(p.sExeJigsawDir + "distjiglist.txt") << "ladybird.zvq\n";
    session.Game.DefaultLevel.Level = 5;
    session.Game.DefaultLevel.ShapeStyle = TShapeStyle::Classic;
    lang.LangDir = data + "/language/";

    TDirViewEnv env;
    env.Session = &session;
    env.Lang = &lang;
    env.ShowHelpTopic = [this](const std::string& topic) { topics.push_back(topic); };
    form = std::make_unique<TF_DirView>(env);
    TLangForms forms;
    forms.DirView = form.get();
    ASSERT_TRUE(LoadLanguage(lang, data + "/language/english.lng", forms));
    SetMessageBoxHandler([this](const std::string& text, const std::string&, int flags) {
      boxes.push_back({text, flags});
      return answer;
    });
  }
  void TearDown() override {
    form.reset();
    SetMessageBoxHandler({});
  }

  template <class T>
  T* Find(const char* name) {
    T* w = form->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void Show() {
    form->show();
    QCoreApplication::processEvents();
  }
  void ClickItem(const char* listName, int row) {
    auto* list = Find<QListWidget>(listName);
    ASSERT_LT(row, list->count());
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
  }
  void ClickOk() {
    QTest::mouseClick(Find<QPushButton>("B_Ok"), Qt::LeftButton);
    QCoreApplication::processEvents();
  }
  std::string Text(const char* name) { return Find<QLabel>(name)->text().toStdString(); }
  // The level page of the second jigsaw, reached as the player reaches it.
  void ShowLevelPage() {
    Show();
    ClickItem("LV_Jigs", 1);
    ClickOk();
    ASSERT_EQ(Find<QTabWidget>("PC_Pages")->currentWidget()->objectName(), "TS_Level");
  }
  // A game of 48 pieces of fallen-leaf under way, and a damaged jigsaw first in the list.
  void LoadedGameAndADamagedJigsaw() {
    session.sJig = session.Paths.sJigsawDir + "fallen-leaf.zvq";
    session.Game.GameLevel.TotalTileNum = 48;
    InitImageBitmap(session.StoreThumb, 160, 120);
    std::ofstream(session.Paths.sJigsawDir + "a-broken.zvq") << "nothing";
  }
  // A real game of a shipped jigsaw, saved as kept.sv1 where this session's browser looks.
  void SaveKeptGame() {
    TTestSession game;
    game.Paths = session.Paths;
    SetupGameWindows(game.Windows);
    game.Game.Field.FieldW = 800;
    game.Game.Field.FieldH = 600;
    TImageControl load;
    TJigsawOpenTarget target{game.Game.CurrentLevel, load, game.Paths.TempPictureFile, {}, {}};
    const std::string jigsaw = session.Paths.sJigsawDir + "dune-grass.zvq";
    ASSERT_TRUE(OpenJigsaw(jigsaw, OpenJigsawSelect, target));
    TLevelRecord choice{};
    choice.Level = 13;
    choice.ShapeStyle = TShapeStyle::ClassicMixedKnobs;
    ASSERT_TRUE(ApplyLevelChoices(game.Game.CurrentLevel, choice, false));
    TOpenChoices seed;
    seed.SeedPanelVisible = true;
    seed.SeedText = "99";
    ASSERT_TRUE(StartJigsawGame(game, jigsaw, seed));
    ASSERT_TRUE(SaveGame(game, session.Paths.sSavedDir + "kept.sv1", false));
    stored = game.Game.GameLevel;
  }
  bool Closed() const { return !form->isVisible(); }

  TTempFolder dir;
  TTestSession session;
  TLanguageState lang;
  std::unique_ptr<TF_DirView> form;
  std::vector<TBox> boxes;
  std::vector<std::string> topics;
  int answer = kIdOk;
  TLevelRecord stored{};
};

TEST_F(DirView, JigsawPassesTheLevelPageAndOkReturnsItsPathAndLevel) {
  Show();
  auto* pages = Find<QTabWidget>("PC_Pages");
  auto* ok = Find<QPushButton>("B_Ok");
  EXPECT_EQ(pages->currentWidget()->objectName(), "TS_Jigs");
  EXPECT_EQ(Find<QLineEdit>("E_FileName")->text(), "dune-grass.zvq");  // the first is preselected
  EXPECT_EQ(ok->text(), "Next >");
  EXPECT_TRUE(ok->isEnabled());

  ClickItem("LV_Jigs", 1);
  EXPECT_EQ(Find<QLineEdit>("E_FileName")->text(), "fallen-leaf.zvq");
  EXPECT_EQ(Text("L_Thumb"), "fallen-leaf");
  ClickOk();
  ASSERT_FALSE(Closed());
  EXPECT_EQ(pages->currentWidget()->objectName(), "TS_Level");
  EXPECT_EQ(ok->text(), "Open");

  Find<QScrollBar>("SB_PieceSize")->setValue(12);
  QTest::mouseClick(Find<QWidget>("ShapeImages1"), Qt::LeftButton);
  QTest::mouseClick(Find<QWidget>("BorderImages1"), Qt::LeftButton);
  QTest::mouseClick(Find<QWidget>("I_Rotation"), Qt::LeftButton);
  QTest::mouseClick(Find<QWidget>("MixImages1"), Qt::LeftButton);
  const TLevelRecord& cur = session.Game.CurrentLevel;
  EXPECT_EQ(Text("L_PieceSize"), std::to_string(cur.TotalTileNum) + " pieces");
  EXPECT_EQ(Text("L_Shapes"), "Irregular, simple knobs");
  EXPECT_EQ(Text("L_Rotation"), "Rotation: on");
  for (const TLevelRecord* r : {&session.Game.CurrentLevel, &session.Game.DefaultLevel})
    EXPECT_EQ(std::vector<int>({r->Level, int(r->ShapeStyle), int(r->BorderStyle), r->Rotate, r->SpreadOut}),
              std::vector<int>({12, 1, 1, 1, 1}));
  ClickOk();
  ASSERT_TRUE(Closed());
  EXPECT_EQ(form->result(), 1);
  const std::string path = session.Paths.sJigsawDir + "fallen-leaf.zvq";
  EXPECT_EQ(form->ResultPath(), path);

  // CurrentLevel describes that very file.
  TBinaryReader f;
  TJigsawHeader header;
  ASSERT_TRUE(f.Open(path) && ReadJigsawHeader(f, header));
  EXPECT_EQ(cur.ImageW, header.ImageW);
  EXPECT_EQ(cur.ImageH, header.ImageH);
  EXPECT_GT(form->PreviewCopy().Width, 0);
  EXPECT_FALSE(form->OpenChoices().SeedPanelVisible);
}

// Enter on the list goes on to the level page, Enter there opens the jigsaw; Enter with
// nothing in particular focused is OK as well, and a focused button takes Enter for itself.
TEST_F(DirView, EnterGoesOnToTheLevelPageAndOpensFromThere) {
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  auto* pages = Find<QTabWidget>("PC_Pages");
  auto enter = [this] {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key_Return);
    QCoreApplication::processEvents();
  };
  ClickItem("LV_Jigs", 0);
  auto* list = Find<QListWidget>("LV_Jigs");
  ASSERT_EQ(QApplication::focusWidget(), list);
  // Other keys only move the choice: the browser stays on its list.
  QTest::keyClick(list, Qt::Key_Right);
  QCoreApplication::processEvents();
  ASSERT_EQ(list->currentRow(), 1);
  ASSERT_EQ(pages->currentWidget(), Find<QWidget>("TS_Jigs"));
  enter();
  ASSERT_EQ(pages->currentWidget(), Find<QWidget>("TS_Level"));
  ASSERT_FALSE(Closed());
  // The same Enter held down repeats: that does not open the jigsaw the player has not seen.
  QKeyEvent repeated(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString("\r"), true);
  QApplication::sendEvent(QApplication::focusWidget(), &repeated);
  ASSERT_FALSE(Closed());
  Find<QScrollBar>("SB_PieceSize")->setValue(12);
  enter();
  ASSERT_TRUE(Closed());
  EXPECT_EQ(form->result(), 1);
  EXPECT_EQ(form->ResultPath(), session.Paths.sJigsawDir + "fallen-leaf.zvq");
  EXPECT_EQ(session.Game.CurrentLevel.Level, 12);

  // Opened again at the first jigsaw, nothing clicked yet: Enter goes on all the same.
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  pages->setFocus();
  enter();
  EXPECT_EQ(pages->currentWidget(), Find<QWidget>("TS_Level"));
  auto* cancel = Find<QPushButton>("B_Cancel");
  cancel->setFocus();
  enter();
  ASSERT_TRUE(Closed());
  EXPECT_EQ(form->result(), 2);
}

// The file is read again when the level page's Open is pressed: a jigsaw damaged or removed
// after it was chosen is not opened, and Open greys.
TEST_F(DirView, AJigsawThatChangedBehindTheBrowserIsNotOpened) {
  for (const bool removed : {false, true}) {
    SCOPED_TRACE(removed);
    const std::string path = session.Paths.sJigsawDir + "fallen-leaf.zvq";
    fs::copy_file(std::string(getenv("ZORVA_DATA_DIR")) + "/jigsaws/fallen-leaf.zvq", path,
                  fs::copy_options::overwrite_existing);
    Show();
    ClickItem("LV_Jigs", 1);
    ClickOk();
    ASSERT_EQ(Find<QTabWidget>("PC_Pages")->currentWidget()->objectName(), "TS_Level");
    if (removed)
      fs::remove(path);
    else
      std::ofstream(path, std::ios::trunc) << "not a jigsaw any more";
    ClickOk();
    EXPECT_FALSE(Closed());
    EXPECT_FALSE(Find<QPushButton>("B_Ok")->isEnabled());
    EXPECT_TRUE(boxes.empty());
    form->hide();
  }
}

// On the level page each press on an option puts the selection frame round it, four pixels
// out, and names the choice; rotation and fit to screen show their frames only when on; the
// piece preview stays centred over its place whatever the size.
TEST_F(DirView, LevelPageFramesAndNamesEachChoice) {
  ShowLevelPage();
  struct TGroup {
    const char* Prefix;
    int Count;
    const char* Frame;
    const char* Caption;
    std::vector<std::string> Names;
  };
  const std::vector<TGroup> groups = {
      {"ShapeImages",
       7,
       "B_SelShape",
       "L_Shapes",
       {"Irregular", "Irregular, simple knobs", "Irregular, fancy knobs", "Irregular with figures", "Classic",
        "Classic, mixed knobs", "Classic, varied knobs"}},
      {"BorderImages", 2, "B_SelBorder", "L_Borders", {"No frame", "With frame"}},
      {"MixImages", 2, "B_SelMix", "L_Mix", {"Random heap", "Spread out"}}};
  for (const TGroup& g : groups) {
    std::vector<QRect> placed;
    for (int i = g.Count - 1; i >= 0; --i) {
      QWidget* image = Find<QWidget>((g.Prefix + std::to_string(i)).c_str());
      QTest::mouseClick(image, Qt::LeftButton);
      EXPECT_EQ(Find<QWidget>(g.Frame)->geometry(), image->geometry().adjusted(-4, -4, 4, 4)) << g.Prefix << i;
      EXPECT_TRUE(Find<QWidget>(g.Frame)->isVisible());
      EXPECT_EQ(Text(g.Caption), g.Names[size_t(i)]);
      for (const QRect& r : placed) EXPECT_FALSE(r.intersects(image->geometry())) << g.Prefix << i;
      EXPECT_TRUE(image->parentWidget()->rect().contains(image->geometry())) << g.Prefix << i;
      placed.push_back(image->geometry());
    }
  }
  for (const auto& [image, frame, caption, on, off] :
       {std::tuple{"I_Rotation", "B_SelRotation", "L_Rotation", "Rotation: on", "Rotation: off"},
        std::tuple{"I_FitToScreen", "B_SelFitToScreen", "L_FitToScreen", "Fit to screen: on", "Fit to screen: off"}}) {
    for (int press = 0; press < 2; ++press) {
      // Each press flips its own option and leaves the other one as it was.
      const std::string own = Text(caption), other = Text(caption[2] == 'R' ? "L_FitToScreen" : "L_Rotation");
      QTest::mouseClick(Find<QWidget>(image), Qt::LeftButton);
      EXPECT_NE(Text(caption), own);
      EXPECT_EQ(Text(caption[2] == 'R' ? "L_FitToScreen" : "L_Rotation"), other);
      const bool shown = Find<QWidget>(frame)->isVisible();
      EXPECT_EQ(Text(caption), shown ? on : off);
      if (shown) {
        EXPECT_EQ(Find<QWidget>(frame)->geometry(), Find<QWidget>(image)->geometry().adjusted(-4, -4, 4, 4));
      }
    }
  }
  auto* size = Find<QScrollBar>("SB_PieceSize");
  QWidget* preview = Find<QWidget>("I_PieceSize");
  std::vector<int> widths;
  QPoint centre;
  for (int v : {size->minimum(), (size->minimum() + size->maximum()) / 2, size->maximum()}) {
    size->setValue(v);
    const QRect r = preview->geometry();
    if (widths.empty()) centre = r.center();
    EXPECT_LE((r.center() - centre).manhattanLength(), 2) << v;
    widths.push_back(r.width());
  }
  EXPECT_NE(widths.front(), widths.back()) << "the preview follows the piece size";
}

// A piece preview larger than its cell grows evenly to both sides of the cell's middle, at
// every size the scroll bar offers, as long as it fits the panel's width.
TEST_F(DirView, ALargePiecePreviewGrowsEvenlyAboutItsCell) {
  ShowLevelPage();
  auto* size = Find<QScrollBar>("SB_PieceSize");
  QWidget* preview = Find<QWidget>("I_PieceSize");
  const int panelWidth = Find<QWidget>("P_PieceSizeImage")->width();
  size->setValue(size->minimum());
  const int cellWidth = preview->width(), middle = preview->geometry().left() + cellWidth / 2;
  int grown = 0;
  for (int v = size->minimum(); v <= size->maximum(); ++v) {
    size->setValue(v);
    const QRect r = preview->geometry();
    if (r.width() <= cellWidth || r.width() >= panelWidth) continue;
    ++grown;
    EXPECT_LE(std::abs(r.left() + r.width() / 2 - middle), 1) << "size " << v << " left " << r.left();
  }
  EXPECT_GT(grown, 0) << "some sizes show wider than the cell";
}

// However large the piece, its preview stays inside the piece-size panel's sunken frame: the
// frame's pixels look the same at every size the scroll bar offers.
TEST_F(DirView, ThePiecePreviewLeavesThePanelsFrameWhole) {
  ShowLevelPage();
  auto* size = Find<QScrollBar>("SB_PieceSize");
  auto* panel = Find<QFrame>("P_PieceSizeImage");
  QWidget* preview = Find<QWidget>("I_PieceSize");
  const QRect inside = panel->contentsRect();
  ASSERT_GT(panel->frameWidth(), 0);
  ASSERT_NE(inside, panel->rect());
  // The frame as it shows around the smallest preview, which keeps well inside.
  int smallest = size->minimum();
  for (int v = size->minimum(); v <= size->maximum(); ++v) {
    size->setValue(v);
    const int area = preview->width() * preview->height();
    size->setValue(smallest);
    if (area < preview->width() * preview->height()) smallest = v;
  }
  size->setValue(smallest);
  ASSERT_TRUE(inside.adjusted(4, 4, -4, -4).contains(preview->geometry()));
  const QImage plain = panel->grab().toImage();
  int grown = 0;
  for (int v = size->minimum(); v <= size->maximum(); ++v) {
    size->setValue(v);
    EXPECT_TRUE(inside.contains(preview->geometry())) << "size " << v;
    grown += preview->width() >= inside.width() || preview->height() >= size->y() - inside.top();
    const QImage shot = panel->grab().toImage();
    int changed = 0;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x)
        if (!inside.contains(x, y)) changed += shot.pixel(x, y) != plain.pixel(x, y);
    EXPECT_EQ(changed, 0) << "size " << v;
  }
  EXPECT_GT(grown, 0) << "some size fills the panel";
}

// The browser opens centred on the screen, over at least four fifths of it each way.
TEST_F(DirView, OpensCentredOverMostOfTheScreen) {
  Show();
  const QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  const QRect area = screen->availableGeometry();
  const QRect placed = form->frameGeometry();
  // Within a window frame's few pixels: the window system may add its edges after the move.
  EXPECT_LE((placed.center() - area.center()).manhattanLength(), 12) << placed.x() << "," << placed.y();
  EXPECT_GE(placed.width() * 5, area.width() * 4);
  EXPECT_GE(placed.height() * 5, area.height() * 4);
}

// The chosen jigsaw's preview is shown whole and centred in its box on the button face.
TEST_F(DirView, ThePreviewIsCentredOnTheButtonFace) {
  Show();
  for (int row : {0, 1, 2}) {
    ClickItem("LV_Jigs", row);
    QWidget* thumb = Find<QWidget>("I_Thumb");
    ASSERT_FALSE(thumb->isHidden());
    EXPECT_EQ(thumb->pos(), QPoint(8, 8));
    EXPECT_EQ(thumb->size(), thumb->parentWidget()->size() - QSize(16, 16));
    const QImage shot = thumb->grab().toImage();
    const QRgb face = form->palette().color(QPalette::Button).rgb() & 0xFFFFFF;
    int left = shot.width(), right = -1, top = shot.height(), bottom = -1;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x)
        if ((shot.pixel(x, y) & 0xFFFFFF) != face) {
          left = std::min(left, x), right = std::max(right, x);
          top = std::min(top, y), bottom = std::max(bottom, y);
        }
    ASSERT_GE(right, left) << row;
    EXPECT_LE(std::abs(left - (shot.width() - 1 - right)), 1) << row;
    EXPECT_LE(std::abs(top - (shot.height() - 1 - bottom)), 1) << row;
    EXPECT_GT(right - left, 40) << row;
  }
}

// Each list item shows its thumbnail centred over its name, the name centred below it.
TEST_F(DirView, ListItemsCentreTheirThumbnailOverTheirName) {
  Show();
  form->LoadAllThumbs();
  auto* list = Find<QListWidget>("LV_Jigs");
  list->clearSelection();
  const QImage shot = list->viewport()->grab().toImage();
  const QRgb base = list->palette().base().color().rgb();
  for (int row = 0; row < list->count(); ++row) {
    const QRect r = list->visualItemRect(list->item(row));
    // Rows of the cell holding anything but the background: the picture, a gap, the name.
    std::vector<std::pair<int, int>> spans;  // per row: first and last marked column
    for (int y = r.top(); y <= r.bottom(); ++y) {
      int first = -1, last = -1;
      for (int x = r.left(); x <= r.right(); ++x)
        if (shot.pixel(x, y) != base) {
          if (first < 0) first = x;
          last = x;
        }
      spans.push_back({first, last});
    }
    size_t k = 0;
    while (k < spans.size() && spans[k].first < 0) ++k;
    const size_t pictureTop = k;
    while (k < spans.size() && spans[k].first >= 0) ++k;
    const size_t pictureBottom = k - 1;
    while (k < spans.size() && spans[k].first < 0) ++k;
    const size_t nameTop = k;
    int nameLeft = INT32_MAX, nameRight = -1;
    for (; k < spans.size() && spans[k].first >= 0; ++k) {
      nameLeft = std::min(nameLeft, spans[k].first);
      nameRight = std::max(nameRight, spans[k].second);
    }
    ASSERT_GT(nameRight, nameLeft) << row;
    const auto [picLeft, picRight] = spans[pictureTop];
    const int cellCentre2 = r.left() + r.right();
    EXPECT_LE(std::abs(picLeft + picRight - cellCentre2), 1) << row;
    EXPECT_LE(std::abs(nameLeft + nameRight - cellCentre2), 2) << row << ": " << nameLeft << ".." << nameRight;
    EXPECT_GT(nameTop, pictureBottom + 1) << row;
  }
}

TEST_F(DirView, SaveModeNamesAFile) {
  // A disabled OK left from a Load showing does not carry over into Save mode.
  LoadedGameAndADamagedJigsaw();
  Show();
  ASSERT_FALSE(Find<QPushButton>("B_Ok")->isEnabled());
  form->hide();
  form->SetBrowseMode(kBrowseSave);
  Show();
  EXPECT_TRUE(Find<QPushButton>("B_Ok")->isEnabled());
  EXPECT_EQ(form->PreviewCopy().Width, 160);
  auto* pages = Find<QTabWidget>("PC_Pages");
  EXPECT_FALSE(pages->isTabVisible(0));
  EXPECT_FALSE(pages->isTabVisible(2));
  EXPECT_EQ(pages->currentWidget()->objectName(), "TS_Games");
  auto* name = Find<QLineEdit>("E_FileName");
  EXPECT_EQ(name->text(), "fallen-leaf");
  EXPECT_EQ(Find<QPushButton>("B_Ok")->text(), "Save");
  EXPECT_EQ(Text("L_PieceSize"), "48 pieces");

  name->setText("a/b");
  QTest::keyClick(name, Qt::Key_Return);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, "A name cannot contain \\, / or ?.");
  EXPECT_EQ(boxes[0].Flags, kMbIconExclamation);
  name->setText("   ");
  QTest::keyClick(name, Qt::Key_Return);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].Text, "Please enter a name for the saved game.");
  ASSERT_FALSE(Closed());

  name->setText("  Sunday puzzle.sv1 ");
  QTest::keyClick(name, Qt::Key_Return);
  ASSERT_TRUE(Closed());
  EXPECT_EQ(form->result(), 1);
  EXPECT_EQ(form->ResultPath(), session.Paths.sSavedDir + "Sunday puzzle.sv1");
}

// Saving shows the game's own picture and piece count beside the names, after a Load showing
// of a damaged jigsaw hid them.
TEST_F(DirView, SaveModeShowsTheGamesPictureAndPieceCount) {
  LoadedGameAndADamagedJigsaw();
  Show();
  ASSERT_TRUE(Find<QWidget>("I_Thumb")->isHidden());
  form->hide();
  form->SetBrowseMode(kBrowseSave);
  Show();
  EXPECT_FALSE(Find<QWidget>("I_Thumb")->isHidden());
  EXPECT_FALSE(Find<QWidget>("P_PieceSize")->isHidden());
  EXPECT_TRUE(Find<QWidget>("L_Comment")->isHidden());
  EXPECT_FALSE(Find<QScrollBar>("SB_PieceSize")->isEnabled()) << "a saved game's size is not chosen";
}

TEST_F(DirView, SaveOverAnExistingFileAsksFirst) {
  std::ofstream(session.Paths.sSavedDir + "taken.sv1") << "x";
  form->SetBrowseMode(kBrowseSave);
  Show();
  auto* name = Find<QLineEdit>("E_FileName");
  name->setText("taken");
  answer = kIdCancel;
  QTest::keyClick(name, Qt::Key_Return);  // Enter in the name field asks once, as OK does
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, "taken already exists.\r\nDo you want to replace it?");
  EXPECT_EQ(boxes[0].Flags, kMbOkCancel | kMbIconQuestion);
  ASSERT_FALSE(Closed());
  answer = kIdOk;
  ClickOk();
  ASSERT_TRUE(Closed());
  EXPECT_EQ(form->ResultPath(), session.Paths.sSavedDir + "taken.sv1");
}

TEST_F(DirView, SeedPanelOpensWithCtrlClickAndItsNumberReachesTheGame) {
  Show();
  auto* bar = Find<QWidget>("P_ButBar");
  auto* seedPanel = Find<QWidget>("P_Seed");
  EXPECT_FALSE(seedPanel->isVisible());
  QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(5, bar->height() - 5));
  EXPECT_FALSE(seedPanel->isVisible());
  QTest::mouseClick(bar, Qt::LeftButton, Qt::ControlModifier, QPoint(5, bar->height() - 5));
  ASSERT_TRUE(seedPanel->isVisible());
  QTest::keyClicks(Find<QLineEdit>("E_Seed"), " 4711");
  ClickOk();  // to the level page
  ClickOk();
  ASSERT_TRUE(Closed());
  const TOpenChoices choices = form->OpenChoices();
  EXPECT_TRUE(choices.SeedPanelVisible);
  EXPECT_EQ(choices.SeedText, "4711");
  EXPECT_EQ(Find<QLineEdit>("E_Seed")->text(), "4711");
}

TEST_F(DirView, DeleteKeyRemovesAPlayersJigsawButNotAShippedOne) {
  Show();
  auto* list = Find<QListWidget>("LV_Jigs");
  ClickItem("LV_Jigs", 2);  // ladybird, shipped
  QTest::keyClick(list, Qt::Key_Delete);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, "The file ladybird cannot be deleted.");
  EXPECT_EQ(list->count(), 3);

  ClickItem("LV_Jigs", 0);
  QTest::keyClick(list, Qt::Key_Delete);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].Text, "Delete dune-grass?");
  EXPECT_FALSE(fs::exists(session.Paths.sJigsawDir + "dune-grass.zvq"));
  ASSERT_EQ(list->count(), 2);
  ASSERT_EQ(list->selectedItems().size(), 1);
  EXPECT_EQ(list->selectedItems()[0]->text(), "fallen-leaf");
  EXPECT_EQ(Find<QLineEdit>("E_FileName")->text(), "fallen-leaf.zvq");
}

// "Delete All" from a list's menu asks first; yes removes every file of the list but the
// jigsaws that came with the game, and the list with them.
TEST_F(DirView, DeleteAllAsksThenKeepsOnlyTheShippedJigsaws) {
  for (const char* name : {"a.sv1", "b.sv1"}) std::ofstream(session.Paths.sSavedDir + name) << "x";
  Show();
  auto* jigs = Find<QListWidget>("LV_Jigs");
  auto* games = Find<QListWidget>("LV_Games");
  ASSERT_EQ(games->count(), 2);
  auto* gamesMenu = form->findChild<QMenu*>("PM_Games");
  auto* delAllJigs = form->findChild<QAction*>("PMI_JigsDelAll");
  auto* delAllGames = form->findChild<QAction*>("PMI_GamesDelAll");
  ASSERT_TRUE(gamesMenu && delAllJigs && delAllGames);
  emit games->customContextMenuRequested(QPoint(2, 2));
  EXPECT_TRUE(delAllGames->isEnabled());
  EXPECT_FALSE(form->findChild<QAction*>("PMI_GamesDel")->isEnabled()) << "nothing is selected";
  gamesMenu->hide();

  answer = kIdNo;
  delAllJigs->trigger();
  delAllGames->trigger();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].Text, "Delete all jigsaws except those that came with the game?");
  EXPECT_EQ(boxes[0].Flags, kMbYesNo | kMbIconQuestion);
  EXPECT_EQ(boxes[1].Text, "Delete all saved games?");
  EXPECT_EQ(jigs->count(), 3);
  EXPECT_EQ(games->count(), 2);

  answer = kIdYes;
  delAllJigs->trigger();
  ASSERT_EQ(jigs->count(), 1);
  EXPECT_EQ(jigs->item(0)->text(), "ladybird");
  EXPECT_EQ(jigs->selectedItems().size(), 1);
  EXPECT_EQ(Find<QLineEdit>("E_FileName")->text(), "ladybird.zvq");
  EXPECT_TRUE(fs::exists(session.Paths.sJigsawDir + "ladybird.zvq"));
  EXPECT_FALSE(fs::exists(session.Paths.sJigsawDir + "dune-grass.zvq"));
  EXPECT_FALSE(fs::exists(session.Paths.sJigsawDir + "fallen-leaf.zvq"));
  EXPECT_EQ(games->count(), 2) << "the other list is left alone";

  delAllGames->trigger();
  EXPECT_EQ(games->count(), 0);
  EXPECT_TRUE(fs::is_empty(session.Paths.sSavedDir));
  emit games->customContextMenuRequested(QPoint(2, 2));
  EXPECT_FALSE(delAllGames->isEnabled()) << "nothing left to delete";
  gamesMenu->hide();
  EXPECT_EQ(boxes.size(), 4u) << "no failure to report";
}

TEST_F(DirView, HelpTopicFollowsTheMode) {
  Show();
  QTest::mouseClick(Find<QPushButton>("B_Help"), Qt::LeftButton);
  form->hide();
  form->SetBrowseMode(kBrowseSave);
  Show();
  QTest::keyClick(Find<QListWidget>("LV_Games"), Qt::Key_F1);
  EXPECT_EQ(topics, (std::vector<std::string>{"open.htm", "save.htm"}));
}

// Every option picture of the level page shows a face of its own, greyed for a saved game's
// choices and whole again for a jigsaw's; the page sits centred at the top of its tab.
TEST_F(DirView, OptionPicturesGreyForASavedGameAndComeBack) {
  ASSERT_NO_FATAL_FAILURE(SaveKeptGame());
  ShowLevelPage();
  QWidget* level = Find<QWidget>("TS_Level");
  const QRect centre = Find<QWidget>("P_LevelCenter")->geometry();
  EXPECT_EQ(centre.top(), 0);
  EXPECT_LE(std::abs(centre.left() - (level->width() - 1 - centre.right())), 1);

  std::vector<QString> names = {"I_Rotation", "I_FitToScreen"};
  for (const char* group : {"ShapeImages", "BorderImages", "MixImages"})
    for (QWidget* w : form->findChildren<QWidget*>(QRegularExpression(QString("^%1\\d+$").arg(group))))
      names.push_back(w->objectName());
  ASSERT_EQ(names.size(), 2u + 7u + 2u + 2u);
  auto shots = [&] {
    std::vector<QImage> out;
    for (const QString& n : names) out.push_back(Find<QWidget>(n.toUtf8().constData())->grab().toImage());
    return out;
  };
  auto plain = [](const QImage& img) {
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (img.pixel(x, y) != img.pixel(0, 0)) return false;
    return true;
  };
  // The mix caption names the picture its frame surrounds, whichever record the page shows.
  auto mixNamed = [this] {
    const QRect framed = Find<QWidget>("B_SelMix")->geometry().adjusted(4, 4, -4, -4);
    return Text("L_Mix") == (framed == Find<QWidget>("MixImages0")->geometry() ? "Random heap" : "Spread out");
  };
  EXPECT_TRUE(mixNamed());
  const std::vector<QImage> whole = shots();
  auto* pages = Find<QTabWidget>("PC_Pages");
  QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, pages->tabBar()->tabRect(1).center());
  ClickItem("LV_Games", 1);
  ASSERT_FALSE(Find<QScrollBar>("SB_PieceSize")->isEnabled());
  const std::vector<QImage> greyed = shots();
  EXPECT_TRUE(mixNamed());
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_FALSE(plain(whole[i])) << names[i].toStdString();
    EXPECT_NE(whole[i], greyed[i]) << names[i].toStdString();
    for (size_t k = 0; k < i; ++k) {
      if (whole[i].size() == whole[k].size()) {
        EXPECT_NE(whole[i], whole[k]) << names[i].toStdString() << " " << names[k].toStdString();
      }
    }
  }
  QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, pages->tabBar()->tabRect(0).center());
  ClickItem("LV_Jigs", 1);
  ClickOk();
  ASSERT_EQ(pages->currentWidget()->objectName(), "TS_Level");
  EXPECT_EQ(shots(), whole);
  QTest::mouseClick(Find<QWidget>("MixImages1"), Qt::LeftButton);
  EXPECT_TRUE(mixNamed());
}

TEST_F(DirView, SavedGameOpensStraightAwayWithItsStoredLevel) {
  ASSERT_NO_FATAL_FAILURE(SaveKeptGame());
  Show();
  QTest::mouseClick(Find<QTabWidget>("PC_Pages")->tabBar(), Qt::LeftButton, {},
                    Find<QTabWidget>("PC_Pages")->tabBar()->tabRect(1).center());
  ASSERT_EQ(Find<QListWidget>("LV_Games")->item(1)->text(), "kept");
  ClickItem("LV_Games", 1);
  EXPECT_EQ(Find<QLineEdit>("E_FileName")->text(), "kept.sv1");
  EXPECT_EQ(Find<QPushButton>("B_Ok")->text(), "Open");
  EXPECT_FALSE(Find<QScrollBar>("SB_PieceSize")->isEnabled());
  EXPECT_EQ(Text("L_PieceSize"), std::to_string(stored.TotalTileNum) + " pieces");
  EXPECT_EQ(Find<QScrollBar>("SB_PieceSize")->value(), 13);
  EXPECT_TRUE(Find<QListWidget>("LV_Jigs")->selectedItems().isEmpty());
  // Greyed: presses on its options change nothing, not even the captions.
  const std::string shapeCaption = Text("L_Shapes"), rotationCaption = Text("L_Rotation");
  QTest::mouseClick(Find<QWidget>("ShapeImages0"), Qt::LeftButton);
  QTest::mouseClick(Find<QWidget>("I_Rotation"), Qt::LeftButton);
  EXPECT_EQ(Text("L_Shapes"), shapeCaption);
  EXPECT_EQ(Text("L_Rotation"), rotationCaption);
  ClickOk();
  ASSERT_TRUE(Closed());
  EXPECT_EQ(form->ResultPath(), session.Paths.sSavedDir + "kept.sv1");
  const TLevelRecord& cur = session.Game.CurrentLevel;
  EXPECT_EQ(cur.GameSeed, 99);
  EXPECT_EQ(cur.ShapeStyle, TShapeStyle::ClassicMixedKnobs);
  EXPECT_EQ(cur.TotalTileNum, stored.TotalTileNum);
  EXPECT_EQ(cur.ImageW, stored.ImageW);
  EXPECT_EQ(session.sSvJigName, "dune-grass");
}

}  // namespace

namespace {

// Captions are cut only for want of room: a name that fits the cell's text width shows whole
// at every font size, however its advance rounds; a longer one is cut to fit with an ellipsis.
// A jigsaw whose file name looks like markup is named as the text it is.
TEST_F(DirView, AFileNameThatLooksLikeMarkupIsShownAsText) {
  const std::string name = "<b>Bold <img src=x> <a href=x>go";
  fs::rename(session.Paths.sJigsawDir + "fallen-leaf.zvq", session.Paths.sJigsawDir + name + ".zvq");
  Show();
  auto* list = Find<QListWidget>("LV_Jigs");
  const QList<QListWidgetItem*> found = list->findItems(QString::fromStdString(name), Qt::MatchExactly);
  ASSERT_EQ(found.size(), 1);
  ClickItem("LV_Jigs", list->row(found[0]));
  EXPECT_EQ(ShownText(Find<QLabel>("L_Thumb")), name);
}

}  // namespace

namespace {
// Every named control of the browser lies wholly within the panel that holds it, on both pages:
// nothing the player should see or click is cut off at a panel's edge.
TEST_F(DirView, EveryControlLiesWithinItsPanel) {
  Show();
  ClickItem("LV_Jigs", 1);
  auto check = [this](const char* page) {
    for (QWidget* w : Find<QWidget>(page)->findChildren<QWidget*>()) {
      const QString name = w->objectName();
      if (name.isEmpty() || name.startsWith("qt_") || !w->parentWidget() || w->isWindow()) continue;
      if (!w->parentWidget()->objectName().startsWith("P_") && !w->parentWidget()->objectName().startsWith("TS_"))
        continue;
      EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry()))
          << page << ": " << name.toStdString() << " " << w->geometry().x() << "," << w->geometry().y() << " "
          << w->geometry().width() << "x" << w->geometry().height() << " in "
          << w->parentWidget()->objectName().toStdString() << " " << w->parentWidget()->width() << "x"
          << w->parentWidget()->height();
    }
  };
  check("TS_Jigs");
  ClickOk();
  ASSERT_EQ(Find<QTabWidget>("PC_Pages")->currentWidget()->objectName(), "TS_Level");
  check("TS_Level");
}
}  // namespace

namespace {
// A pipe named like a jigsaw in the player's folder is no jigsaw: the browser leaves it out
// and answers at once instead of waiting for something to write to it.
TEST_F(DirView, APipeNamedLikeAJigsawIsNeverWaitedOn) {
  ASSERT_EQ(mkfifo((session.Paths.sJigsawDir + "a-pipe.zvq").c_str(), 0600), 0);
  Show();
  auto* list = Find<QListWidget>("LV_Jigs");
  for (int row = 0; row < list->count(); ++row) EXPECT_NE(list->item(row)->text().toStdString(), "a-pipe");
  ClickItem("LV_Jigs", 0);
  EXPECT_EQ(Find<QLineEdit>("E_FileName")->text(), "dune-grass.zvq");
  EXPECT_TRUE(Find<QPushButton>("B_Ok")->isEnabled());
}
// The level page's option panels sit on the button face even where a desktop theme gives
// windows another colour, so the pictures drawn on them blend in.
TEST_F(DirView, LevelPanelsShowTheButtonFaceNotTheWindowColour) {
  QPalette pal = form->palette();
  const QColor window(200, 230, 250), face(240, 200, 120);
  pal.setColor(QPalette::Window, window);
  pal.setColor(QPalette::Button, face);
  form->setPalette(pal);
  ShowLevelPage();
  const QImage shot = form->grab().toImage();
  for (const char* name : {"P_ShapesInner", "P_BordersInner", "P_MixInner", "P_RotationInner", "P_FitToScreenInner"}) {
    QWidget* panel = Find<QWidget>(name);
    const QRect r(panel->mapTo(form.get(), QPoint(0, 0)), panel->size());
    int onFace = 0, onWindow = 0;
    for (int y = r.top() + 3; y < r.bottom() - 2; ++y)
      for (int x = r.left() + 3; x < r.right() - 2; ++x) {
        const QRgb c = shot.pixel(x, y) & 0xFFFFFF;
        onFace += c == (face.rgb() & 0xFFFFFF);
        onWindow += c == (window.rgb() & 0xFFFFFF);
      }
    EXPECT_GT(onFace, 0) << name;
    EXPECT_EQ(onWindow, 0) << name;
  }
}

}  // namespace
