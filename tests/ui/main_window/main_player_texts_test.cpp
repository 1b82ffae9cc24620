#include <gtest/gtest.h>
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "pack.h"
#include "platform/desktop.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "support/shown_text.h"
#include "support/temp_folder.h"
#include "ui/dialogs/dir_view_form.h"
#include "ui/dialogs/info_form.h"
#include "ui/dialogs/options_form.h"
#include "ui/main_window/answered_main_window.h"
#include "ui/main_window/main_form.h"
#include "ui/main_window/program_folder.h"

namespace {

using PlayerTexts = AnsweredMainWindow;

TEST_F(PlayerTexts, InfoWindowDecodesTheDescriptionAsTheJigsawStoresIt) {
  Start();
  const struct {
    const char* stored;
    const char* shown;
  } cases[] = {
      {"Caf\xE9 cr\xE8me\r\nat dusk", "Caf\u00e9 cr\u00e8me\nat dusk"},      // Windows-1252
      {"Caf\u00e9 cr\u00e8me\r\nat dusk", "Caf\u00e9 cr\u00e8me\nat dusk"},  // UTF-8
      {"\xEF\xBB\xBFSaukonp\u00e4\u00e4", "Saukonp\u00e4\u00e4"},            // UTF-8 with its mark
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(Open(Pack(120, 90, c.stored), 13, 4, 7));
    std::string memo;
    main->RunModal = [&](QDialog& d) {
      memo = dynamic_cast<TF_Info&>(d).M_Info->toPlainText().toStdString();
      return 1;
    };
    main->MI_GameInfoClick();
    EXPECT_EQ(memo, c.shown) << c.stored;
  }
}

// A jigsaw whose file name looks like markup is named in the info window as the text it is.
TEST_F(PlayerTexts, InfoWindowShowsAMarkupFileNameAsText) {
  Start();
  const std::string name = "<b>Bold <img src=x> <a href=x>go";
  const std::string path = dir.File(name + ".zvq");
  std::filesystem::rename(Pack(120, 90, "<i>kept as typed</i>"), path);
  ASSERT_TRUE(Open(path, 13, 4, 7));
  std::string jig, memo;
  main->RunModal = [&](QDialog& d) {
    auto& info = dynamic_cast<TF_Info&>(d);
    jig = ShownText(info.L_Jig);
    memo = info.M_Info->toPlainText().toStdString();
    return 1;
  };
  main->MI_GameInfoClick();
  EXPECT_EQ(jig, name);
  EXPECT_EQ(memo, "<i>kept as typed</i>");
}

// A recent file whose name holds an ampersand is offered under that name; only its digit is
// the menu entry's access key.
TEST_F(PlayerTexts, RecentFileNamesKeepTheirAmpersands) {
  Start();
  const std::string path = dir.File("Tom & Jerry.zvq");
  std::filesystem::rename(Pack(120, 90, "Chase"), path);
  ASSERT_TRUE(Open(path, 13, 4, 7));
  QAction* recent = main->MenuAction("MI_FileLast0");
  ASSERT_NE(recent, nullptr);
  EXPECT_TRUE(recent->isVisible());
  EXPECT_EQ(recent->iconText().toStdString(), "1. Tom & Jerry.zvq");
  EXPECT_EQ(QKeySequence::mnemonic(recent->text()), QKeySequence(Qt::ALT | Qt::Key_1));
}

// With no site address the web pages are greyed; a player's sources file opens each site it names.
TEST_F(PlayerTexts, WebPagesNeedASiteAddress) {
  const struct {
    const char* sources;  // the player's sources.ini; empty: the shipped one
    bool enabled;
    std::vector<std::string> home, product;
  } cases[] = {
      {"", false, {}, {}},
      {"[Source 2]\nHost = jigsaws.example.org\nSite = https://www.example.org\n",
       true,
       {"https://www.example.org/"},
       {"https://www.example.org/zorva-quix.htm"}},
      {"[Source 1]\nHost = jigsaws.example.net\nSite = https://www.example.net\n",
       true,
       {"https://www.example.net/"},
       {"https://www.example.net/zorva-quix.htm"}},
      {"[Source 1]\nHost = a.example.net\nSite = https://a.example.net\n"
       "[Source 2]\nHost = b.example.org\nSite = https://b.example.org\n",
       true,
       {"https://a.example.net/", "https://b.example.org/"},
       {"https://a.example.net/zorva-quix.htm", "https://b.example.org/zorva-quix.htm"}},
  };
  for (const auto& c : cases) {
    std::filesystem::create_directories(dir.File("data/zorva-jigsaw-quix"));
    std::ofstream(dir.File("data/zorva-jigsaw-quix/sources.ini")) << c.sources;
    Start();
    for (const char* name : {"MI_HelpHomePage", "MI_HelpProductHomePage"})
      EXPECT_EQ(main->MenuAction(name)->isEnabled(), c.enabled) << name << " " << c.sources;
    opened.clear();
    main->MenuAction("MI_HelpHomePage")->trigger();
    EXPECT_EQ(opened, c.home);
    opened.clear();
    main->MenuAction("MI_HelpProductHomePage")->trigger();
    EXPECT_EQ(opened, c.product);
    main.reset();
  }
}

// A language file named in capitals is offered and loads; the browser's mix caption then
// shows the language's "Mix" text.
TEST_F(PlayerTexts, CapitalisedLanguageFileIsOfferedAndLoads) {
  std::string german = EnglishLanguageText();
  ReplaceLine(german, "<engname>English", "<engname>German");
  ReplaceLine(german, "<localname>English", "<localname>Deutsch");
  ReplaceLine(german, "<Mix>Mix", "<Mix>Mischen");
  ReplaceLine(german, "<MI_Options>Options...", "<MI_Options>Einstellungen...");
  const std::string program = ProgramFolderWithout(dir, {});
  std::ofstream(program + "language/DEUTSCH.LNG", std::ios::binary) << german;
  Start(program);
  std::vector<std::string> offered;
  // The player picks the language in the Options window and presses OK.
  QTimer::singleShot(0, main.get(), [&] {
    TF_Options& options = main->Options();
    auto* list = options.findChild<QListWidget*>("LV_LangList");
    for (int i = 0; i < list->count(); ++i) offered.push_back(list->item(i)->text().toStdString());
    const QList<QListWidgetItem*> found = list->findItems("Deutsch", Qt::MatchExactly);
    if (!found.isEmpty()) list->setCurrentItem(found[0]);
    QTest::mouseClick(options.findChild<QPushButton*>(found.isEmpty() ? "B_Cancel" : "B_Ok"), Qt::LeftButton);
  });
  main->MI_OptionsClick();
  EXPECT_EQ(offered, (std::vector<std::string>{"English", "Deutsch"}));
  EXPECT_EQ(main->MenuAction("MI_Options")->text().section('\t', 0, 0).toStdString(), "Einstellungen...");
  auto* mix = main->findChild<TF_DirView*>()->findChild<QLabel*>("L_Mix");
  EXPECT_EQ(mix->text().toStdString(), "Mischen");
  EXPECT_TRUE(shown.empty());
}

TEST_F(PlayerTexts, BrokenShapeFileIsAWarning) {
  const std::string program = ProgramFolderWithout(dir, {"pic_zorva.dat"});
  std::ofstream(program + "pic_zorva.dat", std::ios::binary) << std::string(300, 'x');
  Start(program);
  ASSERT_TRUE(Open(Pack(320, 240, "Shapes"), 13, 3, 11));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Text, "Invalid DAT file!");
  EXPECT_EQ(shown[0].Flags & 0xF0, kMbIconExclamation);
}

// A picture too thin for the cell cut: the player reads the cut's own two messages, the second
// from the language file, and nothing of the cells' inner bookkeeping.
TEST_F(PlayerTexts, UncuttableLayoutShowsThePaintMessages) {
  std::string english = EnglishLanguageText();
  ReplaceLine(english, "<MS_PaintError>Jigsaw has not been cut properly! Please reopen the puzzle.",
              "<MS_PaintError>Not cut well: open it again.");
  const std::string program = ProgramFolderWithout(dir, {"language/english.lng"});
  std::ofstream(program + "language/english.lng", std::ios::binary) << english;
  Start(program);
  ASSERT_TRUE(Open(Pack(100, 7, "Thin"), 13, 0, 99));
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].Text.rfind("PaintError: Ind = ", 0), 0u) << shown[0].Text;
  EXPECT_EQ(shown[1].Text, "Not cut well: open it again.");
}

}  // namespace
