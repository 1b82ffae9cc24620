#include <QAction>
#include <QTimer>

#include <filesystem>

#include "platform/message_box.h"
#include "ui/main_window/main_toolbar.h"
#include "ui/main_window/main_window_fixture.h"
#include "ui/main_window/progress_panel.h"

namespace {

// No game: the game commands are out of reach. During an open nothing else can start, and
// the magnifier comes back at the field's corner.
TEST_F(MainWindow, CommandsWaitForAGameAndForTheOpenToEnd) {
  TSkinWindows& ws = main->Session().Windows;
  for (Qt::Key key : {Qt::Key_T, Qt::Key_1, Qt::Key_G}) ReleaseKey(key);
  EXPECT_FALSE(ws.GameWindows[6].Visible);
  EXPECT_FALSE(ws.GameWindows[2].Visible);
  EXPECT_FALSE(ws.GlassWindow.Visible);
  TToolbar& bar = main->Toolbar()->Record();
  EXPECT_FALSE(bar.ToolbarButtons[7].Enabled);
  ASSERT_TRUE(Open("dune-grass.zvq"));
  EXPECT_TRUE(bar.ToolbarButtons[7].Enabled);
  ReleaseKey(Qt::Key_G);
  ASSERT_TRUE(ws.GlassWindow.Visible);
  SetSkinRectBounds(ws.GlassWindow.Outer, 120, 90, ws.GlassWindow.Outer.Width, ws.GlassWindow.Outer.Height);

  auto* panel = main->findChild<TProgressPanel*>("P_Progress");
  bool checked = false;
  AnswerBrowser([](TF_DirView&) {});
  // Runs inside the open, at its first look at the event queue.
  QTimer::singleShot(0, main.get(), [&] {
    checked = true;
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->BarWidth(), 0);
    EXPECT_FALSE(main->MenuAction("MI_FileOpen")->isEnabled());
    EXPECT_FALSE(bar.ToolbarButtons[0].Enabled);
    main->MenuAction("MI_FileOpen")->trigger();
    main->RunShortcut(Qt::Key_O, Qt::NoModifier);
    main->Toolbar()->Clicked(0);
  });
  ASSERT_TRUE(Open("dune-grass.zvq"));
  EXPECT_TRUE(checked);
  EXPECT_EQ(browserRuns, 0);
  EXPECT_FALSE(panel->isVisible());
  EXPECT_EQ(panel->BarWidth(), bar.ProgressBarEmpty.Width);  // every announced step was taken
  EXPECT_TRUE(main->MenuAction("MI_FileOpen")->isEnabled());
  EXPECT_TRUE(bar.ToolbarButtons[0].Enabled);
  EXPECT_EQ(ws.GlassWindow.Outer.Left, 0);
  EXPECT_EQ(ws.GlassWindow.Outer.Top, 0);
}

// A save that fails when the window closes keeps the window and the game.
TEST_F(MainWindow, FailedSaveOnCloseKeepsTheWindowAndTheGame) {
  ASSERT_TRUE(Open("dune-grass.zvq"));
  AnswerMessages(kIdYes);
  // The game's saved file lies in a folder that has gone since.
  main->Session().sSolve = dir.File("gone/mine.sv1");
  main->Session().SaveModified = true;
  EXPECT_FALSE(main->close());
  SetMessageBoxHandler({});
  EXPECT_TRUE(main->isVisible());
  EXPECT_TRUE(main->Session().Game.GameLoaded);
  EXPECT_TRUE(main->Session().SaveModified);
  ASSERT_EQ(shownMessages.size(), 2u);  // the question, then the failure
  EXPECT_NE(shownMessages[1].find("mine.sv1"), std::string::npos);
}

// Messages show the language's texts with their line breaks.
TEST_F(MainWindow, MessagesComeFromTheLanguageWithLineBreaks) {
  std::vector<std::pair<std::string, int>> shown;
  SetMessageBoxHandler([&shown](const std::string& text, const std::string&, int flags) {
    shown.emplace_back(text, flags);
    return kIdOk;
  });
  main->ReadStartupSettings();
  EXPECT_FALSE(LoadLanguage(main->Lang(), "/nowhere/none.lng", main->LangForms()));
  main->ShowMessage("MS_PaintError");
  SetMessageBoxHandler({});
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].first, "Cannot find the language file\n/nowhere/none.lng");
  EXPECT_EQ(shown[1], std::make_pair(std::string("Jigsaw has not been cut properly! Please reopen the puzzle."), 0));
}

}  // namespace

namespace {

// Full screen lays the sides out for the new field: every piece stays inside the First Side.
TEST_F(MainWindow, FullScreenKeepsThePiecesInsideTheSide) {
  main->resize(640, 520);
  QCoreApplication::processEvents();
  TLevelRecord& d = main->Session().Game.DefaultLevel;
  d = TLevelRecord{};
  d.Level = 13;
  d.ShapeStyle = TShapeStyle::Classic;
  d.FitToScreen = 1;  // a picture smaller than the full screen's field
  ASSERT_TRUE(main->StartGame(main->Session().Paths.sJigsawDir + "dune-grass.zvq"));
  main->MI_FullScreenClick();
  const TGameState& g = main->Session().Game;
  const TSkinWindow& side = main->Session().Windows.GameWindows[0];
  ASSERT_GT(g.Field.FieldW, 640);
  for (int32_t i = 0; i < g.GameLevel.TotalTileNum; ++i) {
    const TPieceRecord& p = g.Pieces[size_t(i)];
    EXPECT_LE(p.X + p.BoxW, side.ContentWidth) << i;
    EXPECT_LE(p.Y + p.BoxH, side.ContentHeight) << i;
  }
}

}  // namespace
