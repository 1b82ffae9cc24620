#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/pieces.h"
#include "platform/desktop.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "support/temp_folder.h"
#include "ui/dialogs/about_form.h"
#include "ui/dialogs/color_picker_form.h"
#include "ui/dialogs/info_form.h"
#include "ui/dialogs/options_form.h"
#include "ui/main_window/main_form.h"
#include "ui/main_window/main_toolbar.h"

namespace {

// The main window on a private home folder with a distributed jigsaw open; message boxes,
// modal windows and the desktop answered by the test.
class MainCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string home = dir.Path().string();
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    SetSoundSink([](const std::string&) {});
    SetDesktopOpenHandler([this](const std::string& t) { opened.push_back(t); });
    SetMessageBoxHandler([this](const std::string& text, const std::string&, int) {
      questions.push_back(text);
      return answer;
    });
    main = std::make_unique<TF_Main>(std::string(getenv("ZORVA_DATA_DIR")) + "/");
    main->resize(1200, 900);
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    main->ReadStartupSettings();  // the English texts
    main->Session().Game.Rng.RandSeed = 20261206;
    TLevelRecord& d = main->Session().Game.DefaultLevel;
    d = TLevelRecord{};
    d.Level = 13;
    d.ShapeStyle = TShapeStyle::Classic;
    d.SpreadOut = 1;
    ASSERT_TRUE(main->StartGame(main->Session().Paths.sJigsawDir + "dune-grass.zvq"));
  }
  void TearDown() override {
    main.reset();
    SetSoundSink({});
    SetDesktopOpenHandler({});
    SetMessageBoxHandler({});
  }
  TGameState& G() { return main->Session().Game; }
  TSkinWindow& W(int32_t i) { return main->Session().Windows.GameWindows[size_t(i)]; }

  TTempFolder dir;
  std::unique_ptr<TF_Main> main;
  std::vector<std::string> opened, questions;
  int answer = 6;
};

TEST_F(MainCommands, GatherAsksFirstAndOnYesBringsEverythingToTheFirstSide) {
  G().Pieces[0].Window = 1;
  G().Pieces[1].Window = 3;
  main->ShowPocket(3, true);
  answer = 7;  // No
  main->MI_GameGatherClick();
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(G().Pieces[1].Window, 3);
  answer = 6;
  main->MI_GameGatherClick();
  for (int32_t i = 0; i < LivePieceCount(G()); ++i) EXPECT_EQ(G().Pieces[size_t(i)].Window, 0) << i;
  EXPECT_FALSE(W(3).Visible);
  EXPECT_TRUE(main->Session().SaveModified);
}

TEST_F(MainCommands, TileShowsAPocketHoldingPiecesAtTheRightEdge) {
  G().Pieces[2].Window = 4;
  W(4).PieceCount = 1;
  main->MI_PocketsTileClick();
  EXPECT_TRUE(W(4).Visible);
  const TFieldArea& f = G().Field;
  EXPECT_EQ(W(4).Outer.Left, f.FieldW - f.FieldW / 4);
  EXPECT_EQ(W(4).Outer.Height, f.FieldH);
  main->MI_PocketsCascadeClick();
  EXPECT_EQ(W(4).Outer.Height, f.FieldH - 34);
}

TEST_F(MainCommands, CancelledBackgroundPickerUndoesItsPreviewAndOkKeepsIt) {
  const TViewState before = main->Session().ViewState;
  main->RunModal = [](QDialog& d) {
    auto& picker = dynamic_cast<TF_ColorPicker&>(d);
    EXPECT_TRUE(picker.Picker().ShowBkgPics);
    for (int32_t i = 0; i < 6; ++i) picker.Picker().BackgroundHost->SetWindowBackground(i, 0x123456);
    return 2;
  };
  main->MI_GameBkgAllClick();
  for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(main->Session().ViewState.WindowBkg[i], before.WindowBkg[i]);
  EXPECT_EQ(W(0).Background, uint32_t(before.WindowBkg[0]));
  EXPECT_FALSE(main->Session().SaveModified);
  // The active window's picker offers colours only and previews on that window.
  main->RunModal = [](QDialog& d) {
    auto& picker = dynamic_cast<TF_ColorPicker&>(d);
    EXPECT_FALSE(picker.Picker().ShowBkgPics);
    picker.Picker().BackgroundHost->SetWindowBackground(picker.Picker().PickTarget, 0x00FF00);
    return 1;
  };
  main->MI_GameBkgCurClick();
  EXPECT_EQ(main->Session().ViewState.WindowBkg[0], 0x00FF00);
  EXPECT_EQ(W(0).Background, 0x00FF00u);
  EXPECT_TRUE(main->Session().SaveModified);
}

TEST_F(MainCommands, InfoWindowShowsTheGamesFacts) {
  std::string jig, pieces;
  bool jig1Hidden = false;
  main->RunModal = [&](QDialog& d) {
    auto& info = dynamic_cast<TF_Info&>(d);
    jig = info.L_Jig->text().toStdString();
    pieces = info.L_PieceNum->text().toStdString();
    jig1Hidden = info.L_Jig1->isHidden();
    EXPECT_TRUE(main->Session().AutoSaveHold);
    // The game's thumbnail fitted into the box, and the jigsaw's description.
    const QImage thumb = info.I_ShowThumb->pixmap().toImage();
    EXPECT_EQ(thumb.size(), info.I_ShowThumb->size());
    EXPECT_NE(thumb.pixel(thumb.width() / 2, thumb.height() / 2), thumb.pixel(0, 0));
    EXPECT_EQ(info.M_Info->toPlainText().toStdString(), main->Session().InfoText);
    EXPECT_FALSE(main->Session().InfoText.empty());
    return 1;
  };
  main->MI_GameInfoClick();
  EXPECT_EQ(jig, "dune-grass");
  EXPECT_TRUE(jig1Hidden);
  EXPECT_NE(pieces.find(std::to_string(G().GameLevel.TotalTileNum)), std::string::npos);
  EXPECT_FALSE(main->Session().AutoSaveHold);
}

// Selecting everything enables Arrange with its toolbar button; weight mode and the shown side
// show in the menu, on the toolbar faces and in the weight caption.
TEST_F(MainCommands, SelectionWeightAndSideShowOnMenuAndToolbar) {
  TToolbar& bar = main->Toolbar()->Record();
  QAction* arrange = main->MenuAction("MI_GameArrange");
  EXPECT_FALSE(arrange->isEnabled());
  main->MenuAction("MI_GameSelectAll")->trigger();
  EXPECT_TRUE(arrange->isEnabled());
  EXPECT_TRUE(bar.ToolbarButtons[kToolbarArrange].Enabled);
  main->MI_GameArrangeClick();
  main->ClearSelection();
  EXPECT_FALSE(arrange->isEnabled());
  EXPECT_FALSE(bar.ToolbarButtons[kToolbarArrange].Enabled);

  G().Play.DragState = 1;
  G().Play.HeldPiece = 2;
  main->MI_GameWeightClick();
  EXPECT_EQ(G().Play.WeightGroup, 2);
  QAction* weight = main->MenuAction("MI_GameWeight");
  EXPECT_TRUE(weight->isChecked());
  EXPECT_EQ(bar.ToolbarButtons[kToolbarWeight].SkinColumn, 15);
  const QString on = weight->text();
  main->LoadLanguage(main->Lang().LangDir + "english.lng");  // the language pass keeps the mode's caption
  EXPECT_EQ(weight->text(), on);
  G().Play.DragState = 0;
  G().Play.HeldPiece = -1;
  main->MI_GameWeightClick();
  EXPECT_FALSE(weight->isChecked());
  EXPECT_EQ(bar.ToolbarButtons[kToolbarWeight].SkinColumn, 14);
  EXPECT_NE(weight->text(), on);

  main->MenuAction("MI_GameWin2")->trigger();
  EXPECT_TRUE(main->MenuAction("MI_GameWin2")->isChecked());
  EXPECT_FALSE(main->MenuAction("MI_GameWin1")->isChecked());
  EXPECT_TRUE(bar.ToolbarButtons[6].Down);
  EXPECT_FALSE(bar.ToolbarButtons[5].Down);
}

TEST_F(MainCommands, ReportIsWrittenAndHandedToTheDesktop) {
  main->MI_HelpReportClick();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], dir.File("zorva-report.txt"));  // straight into the documents folder
  std::ifstream in(opened[0]);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("Zorva Jigsaw Quix System Report"), std::string::npos);
  EXPECT_NE(text.str().find("sJigName: dune-grass"), std::string::npos);
  EXPECT_NE(text.str().find("Jigs in MW_POCKET3 = 0"), std::string::npos);
}

TEST_F(MainCommands, NoHomePagesWithoutSourcesAndTheAboutBox) {
  main->MI_HelpHomePageClick();
  main->MI_HelpProductHomePageClick();
  EXPECT_TRUE(opened.empty());  // the shipped sources file names no site
  bool frameHidden = false, held = false;
  main->RunModal = [&](QDialog& d) {
    frameHidden = dynamic_cast<TF_AboutZorvaQuix&>(d).B_Frame->isHidden();
    held = main->Session().AutoSaveHold;
    return 1;
  };
  main->MI_HelpAboutClick();
  EXPECT_TRUE(frameHidden);
  EXPECT_TRUE(held);
  EXPECT_FALSE(main->Session().AutoSaveHold);
}

TEST_F(MainCommands, FullScreenAndBackKeepEveryPieceInTheField) {
  main->MI_FullScreenClick();
  EXPECT_TRUE(main->FullScreenOn());
  EXPECT_TRUE(main->Settings().Flags.FullScreen);
  main->MI_FullScreenClick();
  EXPECT_FALSE(main->FullScreenOn());
  const TSkinWindow& side = W(0);
  for (int32_t i = 0; i < LivePieceCount(G()); ++i) {
    const TPieceRecord& p = G().Pieces[size_t(i)];
    EXPECT_LT(p.X, side.ContentWidth) << i;
    EXPECT_LT(p.Y, side.ContentHeight) << i;
  }
}

TEST_F(MainCommands, ToolbarButtonClickedByAReleaseAwayFromIt) {
  TToolbarPanel* bar = main->Toolbar();
  ASSERT_NE(bar, nullptr);
  const TToolbarButton& tile = bar->Record().ToolbarButtons[kToolbarPocket1];
  ASSERT_TRUE(tile.Visible && tile.Enabled);
  G().Pieces[0].Window = 2;
  W(2).PieceCount = 1;
  const QPoint on(tile.Left + tile.Width / 2, tile.Top + tile.Height / 2);
  QTest::mouseMove(bar, on);
  EXPECT_EQ(bar->Record().PressedToolbarButton, kToolbarPocket1);
  const int32_t left = tile.Left;
  QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, on);
  EXPECT_EQ(tile.Left, left + 1);  // sunk by a pixel
  QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
  EXPECT_EQ(tile.Left, left);
  // The pocket command ran: the pocket with its piece is shown, its face and menu check follow.
  EXPECT_TRUE(W(2).Visible);
  EXPECT_TRUE(main->MenuAction("MI_PocketsPocket1")->isChecked());
  EXPECT_EQ(tile.SkinColumn, 10);
  EXPECT_TRUE(tile.Down);
  // The menu's per-window items name the active window.
  HighlightSkinWindow(main->Session().Windows, &W(2));
  EXPECT_EQ(main->MenuAction("MI_GameBkgCur")->text().section('\t', 0, 0).toStdString(),
            GetLangString(main->Lang(), kLangMainForm, "MI_GameBkgPocket1"));
}

TEST_F(MainCommands, FullScreenLatchesItsButtonAndShowsTheCloseButton) {
  main->MI_FullScreenClick();
  const TToolbar& t = main->Toolbar()->Record();
  EXPECT_TRUE(t.ToolbarButtons[kToolbarFullScreen].Down);
  EXPECT_TRUE(t.ToolbarButtons[kToolbarClose].Visible);
  EXPECT_TRUE(main->MenuAction("MI_FullScreen")->isChecked());
  main->MI_FullScreenClick();
  EXPECT_FALSE(t.ToolbarButtons[kToolbarFullScreen].Down);
  EXPECT_FALSE(t.ToolbarButtons[kToolbarClose].Visible);
  EXPECT_FALSE(main->MenuAction("MI_FullScreen")->isChecked());
}

}  // namespace

namespace {

// The options dialog as a player uses it: the sound, the join star and the single main
// window changed and confirmed reach the field and the window; cancelled, nothing changes.
TEST_F(MainCommands, OptionsConfirmedReachTheFieldAndCancelledChangeNothing) {
  int changed = 0;
  main->OptionsChanged = [&] { ++changed; };
  const bool sound = main->Field().SoundPlay, join = main->Field().ShowJoin;
  const uint8_t single = G().PlaySettings.SingleMainWindow;
  auto answerOptions = [](const char* button) {
    QTimer::singleShot(0, [button] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      for (const char* box : {"CB_SoundPlay", "CB_VisualShowJoin", "CB_PlaySingleWin"}) {
        auto* check = dialog->findChild<QCheckBox*>(box);
        ASSERT_NE(check, nullptr) << box;
        check->setChecked(!check->isChecked());
      }
      QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
    });
  };
  answerOptions("B_Cancel");
  main->MI_OptionsClick();
  EXPECT_EQ(main->Field().SoundPlay, sound);
  EXPECT_EQ(main->Field().ShowJoin, join);
  EXPECT_EQ(G().PlaySettings.SingleMainWindow, single);
  EXPECT_EQ(changed, 0);
  answerOptions("B_Ok");
  main->MI_OptionsClick();
  EXPECT_EQ(main->Field().SoundPlay, !sound);
  EXPECT_EQ(main->Field().ShowJoin, !join);
  EXPECT_EQ(G().PlaySettings.SingleMainWindow, !single);
  EXPECT_EQ(changed, 1);
  EXPECT_FALSE(main->Session().AutoSaveHold);
}

}  // namespace

namespace {

// The side's grip asks the window for its size and sets it, in the field's pixels; in full
// screen the window keeps the screen's size.
TEST_F(MainCommands, TheSidesGripSizesTheWindowButNotInFullScreen) {
  TFieldHost& host = *main;
  host.SetMainWindowSize(900, 700);
  int32_t w = 0, h = 0;
  host.MainWindowSize(w, h);
  EXPECT_EQ(std::make_pair(w, h), std::make_pair(900, 700));
  EXPECT_EQ(main->size(), QSize(900, 700));
  main->MI_FullScreenClick();
  ASSERT_TRUE(main->FullScreenOn());
  const QSize full = main->size();
  host.SetMainWindowSize(500, 400);
  EXPECT_EQ(main->size(), full);
  main->MI_FullScreenClick();
}

}  // namespace
