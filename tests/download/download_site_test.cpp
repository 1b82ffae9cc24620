// A player downloads from a jigsaw site made by the site tool and served by plain static web
// servers, through the real main window, and plays a downloaded jigsaw.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "download/jigsaw_site.h"
#include "download/local_servers.h"
#include "gui/private_home.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "ui/dialogs/dir_view_form.h"
#include "ui/dialogs/options_form.h"
#include "ui/download/download_form.h"
#include "ui/main_window/main_form.h"

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
  std::vector<std::string> boxes;
  SetMessageBoxHandler([&](const std::string& text, const std::string&, int) {
    boxes.push_back(text);
    return int(kIdYes);
  });
  SetSoundSink([](const std::string&) {});
  TF_Main main(std::string(getenv("ZORVA_DATA_DIR")) + "/");
  main.resize(1200, 900);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  main.ReadStartupSettings();
  TGameSession& s = main.Session();
  s.Game.DefaultLevel.Level = 13;  // big pieces: fast
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
    EXPECT_EQ(Slurp(s.Paths.sJigsawDir + item.Caption + ".zvq"), Slurp(DistributedJigsaw(item.Caption))) << item.Caption;
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
  for (const std::string& name : removed) EXPECT_NE(std::find(listed.begin(), listed.end(), name), listed.end()) << name;
  EXPECT_EQ(chosen, "nuthatch.zvq");
  EXPECT_TRUE(s.Game.GameLoaded);
  EXPECT_EQ(s.sJig, s.Paths.sJigsawDir + "nuthatch.zvq");
  main.close();
  SetMessageBoxHandler({});
  SetSoundSink({});
}
