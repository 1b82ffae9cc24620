// A player downloads from a jigsaw site made by the site tool and served by plain static web
// servers, through the real main window, and plays a downloaded jigsaw.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/message_box.h"
#include "platform/sound.h"
#include "support/jigsaw_site.h"
#include "support/local_servers.h"
#include "ui/dialogs/dir_view_form.h"
#include "ui/dialogs/options_form.h"
#include "ui/download/download_form.h"
#include "ui/main_window/main_form.h"
#include "ui/main_window/private_home.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

// Presses D; in the download window chooses the mode, downloads, and leaves with Exit.
void DownloadThroughTheWindow(TF_Main& main, int32_t mode) {
  TF_Download& dl = main.Download();
  QTimer::singleShot(0, &dl, [&dl, mode] {
    dl.findChild<QComboBox*>("CB_DownMode")->setCurrentIndex(mode);
    QTest::mouseClick(dl.findChild<QPushButton*>("B_Download"), Qt::LeftButton);
    QTest::mouseClick(dl.findChild<QPushButton*>("B_Ok"), Qt::LeftButton);
  });
  QTest::keyPress(&main, Qt::Key_D);
  QTest::keyRelease(&main, Qt::Key_D);
}

// The main window on the home set up before, its message boxes answered with answer and their
// texts noted in boxes; the handlers go with it.
struct TStartedGame {
  std::vector<std::string> boxes;
  std::unique_ptr<TF_Main> main;

  explicit TStartedGame(int answer) {
    SetMessageBoxHandler([this, answer](const std::string& text, const std::string&, int) {
      boxes.push_back(text);
      return answer;
    });
    SetSoundSink([](const std::string&) {});
    main = std::make_unique<TF_Main>(std::string(getenv("ZORVA_DATA_DIR")) + "/");
    main->resize(1200, 900);
    main->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    main->ReadStartupSettings();
  }
  ~TStartedGame() {
    main->close();
    main.reset();
    SetMessageBoxHandler({});
    SetSoundSink({});
  }
};

}  // namespace

TEST(DownloadSite, APlayerDownloadsEveryJigsawAndPlaysOne) {
  TJigsawSite site;
  TTempFolder keys, home;
  const TTestCertificate cert = TTestCertificate::Make(keys.Path());
  TStaticServer http(site.Web), https(site.Web, &cert);
  ASSERT_TRUE(http.Running() && https.Running());
  UsePrivateHome(home);
  // The player's sources file: the second source, plain HTTP, is the one a new player starts with.
  fs::create_directories(home.File("data/zorva-jigsaw-quix"));
  Spit(home.File("data/zorva-jigsaw-quix/sources.ini"),
       Bytes("[Source 1]\nHost = " + https.Host() + "\n[Source 2]\nHost = " + http.Host() + "\n"));
  TStartedGame game(kIdYes);
  TF_Main& main = *game.main;
  std::vector<std::string>& boxes = game.boxes;
  TGameSession& s = main.Session();
  s.Game.DefaultLevel.Level = 13;             // big pieces: fast
  s.Game.GameOptions.ThumbPath = site.Thumb;  // as the options' test panel sets it
  EXPECT_EQ(s.Game.GameOptions.DnSrc, http.Host());
  auto* sources = main.Options().findChild<QComboBox*>("CB_DnSrc");
  ASSERT_EQ(sources->count(), 2);
  EXPECT_EQ(sources->itemText(0).toStdString(), https.Host());
  EXPECT_EQ(sources->itemText(1).toStdString(), http.Host());

  const std::vector<std::string> removed = {"ladybird", "nuthatch", "raindrops"};
  for (const std::string& name : removed) fs::remove(s.Paths.sJigsawDir + name + ".zvq");
  main.RunBrowser = [](TF_DirView&) { return 2; };  // the offer to open the first one is taken later
  DownloadThroughTheWindow(main, kDownAll);
  const TDownloadList& list = main.Download().List();
  ASSERT_EQ(list.Items.size(), 12u);
  for (const TDownloadItem& item : list.Items) {
    EXPECT_EQ(item.StateIndex, 1) << item.Caption;
    EXPECT_GT(item.ImageIndex, 0) << item.Caption;
    EXPECT_EQ(Slurp(s.Paths.sJigsawDir + item.Caption + ".zvq"), Slurp(DistributedJigsaw(item.Caption)))
        << item.Caption;
  }
  EXPECT_EQ(boxes, std::vector<std::string>{"Open the first downloaded jigsaw now?"});

  // Once more over HTTPS from the first source: the jigsaw removed again comes back, the browser
  // lists it with the others, and it opens.
  fs::remove(s.Paths.sJigsawDir + "nuthatch.zvq");
  s.Game.GameOptions.DnSrc = https.Host();
  s.Game.GameOptions.UseSecure = true;
  main.Download().State().HttpClient->TrustedCertificates = cert.CertPem;
  std::vector<std::string> listed;
  std::string chosen;
  main.RunBrowser = [&](TF_DirView& dv) {
    dv.show();
    QCoreApplication::processEvents();
    auto* jigs = dv.findChild<QListWidget*>("LV_Jigs");
    for (int i = 0; i < jigs->count(); ++i) listed.push_back(jigs->item(i)->text().toStdString());
    chosen = dv.findChild<QLineEdit*>("E_FileName")->text().toStdString();
    for (int i = 0; i < 2; ++i) {
      QTest::mouseClick(dv.findChild<QPushButton*>("B_Ok"), Qt::LeftButton);
      QCoreApplication::processEvents();
    }
    return dv.result();
  };
  DownloadThroughTheWindow(main, kDownNew);
  EXPECT_EQ(main.Download().FirstDownloadedPath(), s.Paths.sJigsawDir + "nuthatch.zip");
  for (const std::string& name : removed)
    EXPECT_NE(std::find(listed.begin(), listed.end(), name), listed.end()) << name;
  EXPECT_EQ(chosen, "nuthatch.zvq");
  EXPECT_TRUE(s.Game.GameLoaded);
  EXPECT_EQ(s.sJig, s.Paths.sJigsawDir + "nuthatch.zvq");
}

// A player names a site of their own in their data folder, its list and previews included, after
// another source was stored in the settings: the sources file's source is the one used. Start-up
// removed what an interrupted download left there, and nothing of the player's.
TEST(DownloadSite, ThePlayersOwnSiteAndListFromTheDataFolder) {
  TJigsawSite site({"ladybird", "raindrops"});
  TTempFolder home;
  TStaticServer http(site.Web);
  TSilentServer stored;  // the source of the settings file, named nowhere else now
  ASSERT_TRUE(http.Running());
  UsePrivateHome(home);
  const std::string data = home.File("data/zorva-jigsaw-quix/");
  const std::string jigsaws = home.File("Tamo Games/Zorva Jigsaw Quix/Jigsaws/");
  fs::create_directories(data + "thumb");
  fs::create_directories(jigsaws + ".zorva-tmp-unpack-Ab12Cd/e/e");
  Spit(data + "sources.ini", Bytes("[Source 1]\nHost = " + http.Host() + "\n"));
  Spit(data + "zorva.ini", Bytes("[Download]\n   <DnSrc> " + stored.Host() + "\n"));
  for (const auto& e : fs::directory_iterator(site.Thumb))
    fs::copy_file(e.path(), data + "thumb/" + e.path().filename().string());
  Spit(data + ".zorva-tmp-ladybird.zip", {1});
  Spit(home.File("notes.~backup"), {1});
  Spit(jigsaws + "mine.zvq.~copy", {1});
  TStartedGame game(kIdNo);
  TF_Main& main = *game.main;
  std::vector<std::string>& boxes = game.boxes;
  TGameSession& s = main.Session();
  EXPECT_EQ(s.Game.GameOptions.DnSrc, http.Host());
  EXPECT_FALSE(fs::exists(jigsaws + ".zorva-tmp-unpack-Ab12Cd"));
  EXPECT_FALSE(fs::exists(data + ".zorva-tmp-ladybird.zip"));
  EXPECT_TRUE(fs::exists(home.File("notes.~backup")));
  EXPECT_TRUE(fs::exists(jigsaws + "mine.zvq.~copy"));

  for (const char* name : {"ladybird", "raindrops"}) fs::remove(s.Paths.sJigsawDir + name + ".zvq");
  DownloadThroughTheWindow(main, kDownAll);
  const TDownloadList& list = main.Download().List();
  ASSERT_EQ(list.Items.size(), 2u);
  for (const TDownloadItem& item : list.Items) {
    EXPECT_GT(item.ImageIndex, 0) << item.Caption;
    EXPECT_EQ(Slurp(s.Paths.sJigsawDir + item.Caption + ".zvq"), Slurp(DistributedJigsaw(item.Caption)))
        << item.Caption;
  }
  EXPECT_EQ(stored.Requests(), 0);
  EXPECT_EQ(boxes, std::vector<std::string>{"Open the first downloaded jigsaw now?"});
}

// The player names a source while the game runs: the download window reads the sources file
// each time it opens, uses the new source at once, and says so again when the source is gone.
TEST(DownloadSite, ASourcesFileEditedWhileTheGameRunsCountsWhenTheWindowOpens) {
  TJigsawSite site({"ladybird"});
  TTempFolder home;
  TStaticServer http(site.Web);
  ASSERT_TRUE(http.Running());
  UsePrivateHome(home);
  TStartedGame game(kIdNo);
  TF_Main& main = *game.main;
  std::vector<std::string>& boxes = game.boxes;
  TGameSession& s = main.Session();
  s.Game.GameOptions.ThumbPath = site.Thumb;
  EXPECT_EQ(s.Game.GameOptions.DnSrc, "");  // the program folder's file names none
  const std::string sources = home.File("data/zorva-jigsaw-quix/sources.ini");
  fs::remove(s.Paths.sJigsawDir + "ladybird.zvq");

  // What the window says as it opens, and a download tried with the mode "All jigsaws".
  struct Seen {
    bool noSource = false, downloadEnabled = false;
    std::string text;
  };
  auto open = [&main] {
    Seen seen;
    TF_Download& dl = main.Download();
    QTimer::singleShot(0, &dl, [&dl, &seen] {
      auto* label = dl.findChild<QLabel*>("L_NoSource");
      seen.noSource = label->isVisible();
      seen.text = label->text().toStdString();
      dl.findChild<QComboBox*>("CB_DownMode")->setCurrentIndex(kDownAll);
      auto* download = dl.findChild<QPushButton*>("B_Download");
      seen.downloadEnabled = download->isEnabled();
      QTest::mouseClick(download, Qt::LeftButton);
      QTest::mouseClick(dl.findChild<QPushButton*>("B_Ok"), Qt::LeftButton);
    });
    QTest::keyPress(&main, Qt::Key_D);
    QTest::keyRelease(&main, Qt::Key_D);
    return seen;
  };
  Seen before = open();
  EXPECT_TRUE(before.noSource);
  EXPECT_FALSE(before.downloadEnabled);
  EXPECT_NE(before.text.find(sources), std::string::npos) << before.text;

  Spit(sources, Bytes("[Source 1]\nHost = " + http.Host() + "\nSite = http://" + http.Host() + "\n"));
  Seen named = open();
  EXPECT_FALSE(named.noSource);
  EXPECT_TRUE(named.downloadEnabled);
  EXPECT_EQ(s.Game.GameOptions.DnSrc, http.Host());
  EXPECT_EQ(Slurp(s.Paths.sJigsawDir + "ladybird.zvq"), Slurp(DistributedJigsaw("ladybird")));
  EXPECT_TRUE(main.MenuAction("MI_HelpHomePage")->isEnabled());  // the site named with it
  // The options offer the sources the file names now.
  std::vector<std::string> offered;
  QTimer::singleShot(0, &main.Options(), [&main, &offered] {
    auto* hosts = main.Options().findChild<QComboBox*>("CB_DnSrc");
    offered.push_back(hosts->currentText().toStdString());
    for (int i = 0; i < hosts->count(); ++i) offered.push_back(hosts->itemText(i).toStdString());
    main.Options().reject();
  });
  main.MenuAction("MI_Options")->trigger();
  EXPECT_EQ(offered, (std::vector<std::string>{http.Host(), http.Host(), ""}));

  Spit(sources, Bytes("[Source 1]\nHost =\n"));
  fs::remove(s.Paths.sJigsawDir + "ladybird.zvq");
  Seen gone = open();
  EXPECT_TRUE(gone.noSource);
  EXPECT_FALSE(gone.downloadEnabled);
  EXPECT_EQ(s.Game.GameOptions.DnSrc, "");
  EXPECT_FALSE(fs::exists(s.Paths.sJigsawDir + "ladybird.zvq"));
  EXPECT_FALSE(main.MenuAction("MI_HelpHomePage")->isEnabled());
  EXPECT_EQ(boxes, std::vector<std::string>{"Open the first downloaded jigsaw now?"});
}
