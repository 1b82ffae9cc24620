// The player's folders as the main window meets them at start-up: a documents folder the desktop
// names but nobody made, and one that nothing can be written in.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "game/game_paths.h"
#include "support/read_only_folder.h"
#include "ui/dialogs/dir_view_form.h"
#include "ui/main_window/answered_main_window.h"

namespace {

namespace fs = std::filesystem;

class PlayerFolders : public AnsweredMainWindow {
 protected:
  void SetUp() override {
    AnsweredMainWindow::SetUp();
    fs::create_directories(dir.File("config"));
    std::ofstream(dir.File("config/user-dirs.dirs")) << "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n";
    documents = dir.File("Documents") + "/";
  }
  // The start-up choice with a browser that notes its jigsaws and the messages shown before it,
  // then opens the jigsaw it preselects in big pieces.
  void StartUpAndOpen() {
    main->Session().Game.DefaultLevel.Level = 13;
    main->RunBrowser = [this](TF_DirView& dv) {
      messagesBeforeBrowser = shown.size();
      dv.show();
      QCoreApplication::processEvents();
      auto* jigs = dv.findChild<QListWidget*>("LV_Jigs");
      for (int i = 0; i < jigs->count(); ++i) listed.push_back(jigs->item(i)->text().toStdString() + ".zvq");
      chosen = dv.findChild<QLineEdit*>("E_FileName")->text().toStdString();
      for (int i = 0; i < 2; ++i) {
        QTest::mouseClick(dv.findChild<QPushButton*>("B_Ok"), Qt::LeftButton);
        QCoreApplication::processEvents();
      }
      return dv.result();
    };
    main->StartupChoice();
  }
  std::vector<std::string> Shipped() {
    TGamePaths p;
    p.sExeJigsawDir = std::string(getenv("ZORVA_DATA_DIR")) + "/jigsaws/";
    std::vector<std::string> names = DistributedJigsaws(p);
    std::sort(names.begin(), names.end());
    return names;
  }
  std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string documents;
  std::vector<std::string> listed;
  std::string chosen;
  size_t messagesBeforeBrowser = 99;
};

TEST_F(PlayerFolders, AMissingDocumentsFolderIsMadeAndTheShippedJigsawsArrive) {
  ASSERT_FALSE(fs::exists(documents));
  Start();
  const TGamePaths& p = main->Session().Paths;
  EXPECT_EQ(p.sJigsawDir, documents + "Tamo Games/Zorva Jigsaw Quix/Jigsaws/");
  EXPECT_TRUE(fs::is_directory(documents + "Tamo Games/Zorva Jigsaw Quix/Saved Games"));
  StartUpAndOpen();
  EXPECT_TRUE(shown.empty()) << shown.front().Text;
  ASSERT_EQ(Sorted(listed), Shipped());
  for (const std::string& name : listed) EXPECT_TRUE(fs::is_regular_file(p.sJigsawDir + name)) << name;
  ASSERT_TRUE(main->Session().Game.GameLoaded);
  EXPECT_EQ(main->Session().sJig, p.sJigsawDir + chosen);
}

TEST_F(PlayerFolders, AnUnwritableDocumentsFolderIsNamedOnceAndTheShippedJigsawsStillPlay) {
  TReadOnlyFolder locked(documents);
  ASSERT_TRUE(locked.Holds());
  Start();
  StartUpAndOpen();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(messagesBeforeBrowser, 1u);  // said before the browser shows what is left
  EXPECT_EQ(shown[0].Flags, kMbIconExclamation);
  EXPECT_EQ(shown[0].Text.rfind("The folder \"" + documents + "Tamo Games/\" could not be made: ", 0), 0u)
      << shown[0].Text;
  EXPECT_NE(shown[0].Text.find("games cannot be saved"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(documents));
  ASSERT_EQ(Sorted(listed), Shipped());
  ASSERT_TRUE(main->Session().Game.GameLoaded);
  EXPECT_EQ(main->Session().sJig, std::string(getenv("ZORVA_DATA_DIR")) + "/jigsaws/" + chosen);
}

}  // namespace
