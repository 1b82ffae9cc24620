#include "ui/download/download_form.h"

#include <gtest/gtest.h>

#include <utility>

#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>

#include "download/recording_view.h"
#include "foundation/lang_forms.h"
#include "foundation/picture_limits.h"
#include "foundation/picture_test_util.h"
#include "game/window_commands.h"
#include "platform/message_box.h"
#include "platform/rar_archive.h"
#include "support/jigsaw_site.h"
#include "support/local_servers.h"
#include "support/panel_bounds.h"
#include "support/shown_text.h"
#include "ui/dialogs/options_form.h"

namespace fs = std::filesystem;

namespace {

// A site of three jigsaws made by the tool and served on 127.0.0.1 as the one source, its list
// folder as the window's, the English texts, and message boxes answered from a queue.
class DownloadForm : public ::testing::Test {
 protected:
  void SetUp() override {
    UseSources({server.Host(), ""});
    options.ThumbPath = site.Thumb;
    env.Options = &options;
    env.Lang = &lang;
    env.sThumbDir = f.Thumb;
    env.sJigsawDir = f.Jigsaws;
    env.sTempDir = f.Temp;
    env.sDnListFile = f.AppData + kDnListFileName;
    env.sDnThumbFile = f.AppData + kDnThumbFileName;
    env.sDnHeaderFile = f.AppData + kDnHeaderFileName;
    env.Sources.FileToEdit = f.AppData + "sources.ini";
    SetMessageBoxHandler([this](const std::string& text, const std::string&, int flags) {
      boxes.push_back({text, flags});
      if ((flags & 0xF) == kMbOk) return int(kIdOk);
      const int a = answers.empty() ? int(kIdNo) : answers.front();
      if (!answers.empty()) answers.erase(answers.begin());
      return a;
    });
  }
  void TearDown() override { SetMessageBoxHandler(nullptr); }

  void UseSources(const TServerHosts& hosts) {
    env.Sources.ServerHosts = hosts;
    options.DnSrc = hosts[0];
  }
  // The window with the English texts loaded into it, as the game does at start-up.
  std::unique_ptr<TF_Download> MakeForm() {
    auto form = std::make_unique<TF_Download>(env);
    TLangForms forms;
    forms.Download = form.get();
    lang.LangDir = std::string(ZORVA_SOURCE_DIR) + "/data/language/";
    EXPECT_TRUE(LoadLanguage(lang, lang.LangDir + "english.lng", forms));
    form->PauseMs = 0;
    return form;
  }
  // The window shown and active, so that clicks on its list take the focus as a player's do.
  std::unique_ptr<TF_Download> ShowActive() {
    auto form = MakeForm();
    form->show();
    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    return form;
  }
  void ClickRow(TF_Download& form, int row) {
    auto* list = Child<QListWidget>(form, "LV_Downs");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
  }
  template <class T>
  static T* Child(TF_Download& form, const char* name) {
    T* w = form.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void Download(TF_Download& form, int32_t mode, int row = -1) {
    Child<QComboBox>(form, "CB_DownMode")->setCurrentIndex(mode);
    if (row >= 0) Child<QListWidget>(form, "LV_Downs")->setCurrentRow(row);
    QTest::mouseClick(Child<QPushButton>(form, "B_Download"), Qt::LeftButton);
  }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> r;
    for (const auto& b : boxes) r.push_back(b.Text);
    return r;
  }

  TJigsawSite site{{"ladybird", "raindrops", "yellow-flower"}};
  TStaticServer server{site.Web};
  TPlayerFolders f;
  TGameOptions options;
  TLanguageState lang;
  TDownloadEnv env;
  std::vector<TShownMessage> boxes;
  std::vector<int> answers;
};

}  // namespace

// A source without the jigsaws offers the other one, which then becomes the player's; the
// selected jigsaw arrives with the progress and size line.
TEST_F(DownloadForm, OtherSourceOfferedThenTheSelectedJigsawArrives) {
  TTempFolder emptyWeb;
  TStaticServer empty(emptyWeb.Path());
  UseSources({empty.Host(), server.Host()});
  auto form = MakeForm();
  form->show();
  auto* list = Child<QListWidget>(*form, "LV_Downs");
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(Child<QComboBox>(*form, "CB_DownMode")->currentIndex(), kDownNew);
  EXPECT_EQ(form->SelectedIndex(), 0);
  EXPECT_EQ(Child<QGroupBox>(*form, "GB_DownThumb")->title().toStdString(), "ladybird");
  EXPECT_FALSE(Child<QLabel>(*form, "L_NoSource")->isVisible());
  EXPECT_GE(form->width(), 609);

  auto* bar = Child<QProgressBar>(*form, "PB_DownProgress");
  std::string sizeLine;
  QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) {
    if (v > 0 && v == bar->maximum()) sizeLine = Child<QLabel>(*form, "L_DownSize")->text().toStdString();
  });
  answers = {kIdYes};
  Download(*form, kDownSelected, 1);
  EXPECT_EQ(BoxTexts(),
            (std::vector<std::string>{"File not found:\r\nhttp://" + empty.Host() + "/zorva/jigsaws_quix/info.dat",
                                      "The download source " + empty.Host() +
                                          " cannot be reached.\r\nTry the other source, " + server.Host() + "?"}));
  EXPECT_EQ(boxes[1].Flags, kMbYesNo | kMbIconQuestion);
  EXPECT_EQ(options.DnSrc, server.Host());
  EXPECT_TRUE(f.Downloaded("raindrops"));
  EXPECT_EQ(form->List().Items[1].StateIndex, 1);
  EXPECT_EQ(form->FirstDownloadedPath(), f.Jigsaws + "raindrops.zip");
  const int32_t archive = int32_t(fs::file_size(site.Archives + "raindrops.zip"));
  EXPECT_EQ(sizeLine, FormatByteSize(archive) + " / " + FormatByteSize(archive));
  EXPECT_TRUE(f.LeftOvers().empty());
  EXPECT_TRUE(Child<QPushButton>(*form, "B_Download")->isEnabled());
  EXPECT_FALSE(Child<QPushButton>(*form, "B_Stop")->isEnabled());
  EXPECT_EQ(form->windowTitle().toStdString(), "Download Jigsaws");

  // The next show forgets the first download and sees the jigsaw folder again.
  form->hide();
  fs::remove(f.Jigsaws + "raindrops.zvq");
  form->show();
  EXPECT_TRUE(form->FirstDownloadedPath().empty());
  EXPECT_EQ(form->List().Items[1].StateIndex, 0);
}

// A broken archive never costs the player the jigsaw they had; a missing one ends the run.
TEST_F(DownloadForm, FailedDownloadsKeepTheOldJigsaw) {
  f.WriteJigsaw("ladybird", {7, 7, 7});
  const std::vector<uint8_t> zip = Slurp(site.Archives + "ladybird.zip");
  Spit(site.Archives + "ladybird.zip", std::vector<uint8_t>(zip.begin(), zip.begin() + long(zip.size() / 2)));
  fs::remove(site.Archives + "yellow-flower.zip");
  auto form = MakeForm();
  form->show();
  answers = {kIdOk};
  Download(*form, kDownSelected, 0);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].Text, "ladybird already exists.\r\nDo you want to replace it?");
  EXPECT_EQ(boxes[1].Text.substr(0, 3), "RAR");
  EXPECT_EQ(Slurp(f.Jigsaws + "ladybird.zvq"), (std::vector<uint8_t>{7, 7, 7}));
  EXPECT_TRUE(f.LeftOvers().empty());

  boxes.clear();
  Download(*form, kDownAll);
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{
                            "File not found:\r\nhttp://" + server.Host() + "/zorva/jigsaws_quix/yellow-flower.zip",
                            "2 jigsaws could not be downloaded."}));
  EXPECT_EQ(Slurp(f.Jigsaws + "ladybird.zvq"), (std::vector<uint8_t>{7, 7, 7}));
  EXPECT_TRUE(f.Downloaded("raindrops"));
  EXPECT_TRUE(f.LeftOvers().empty());
}

// A source that sends its header and goes silent: Stop and closing act at once, without a
// failure message; the same silence fails the transfer with the time-out message.
TEST_F(DownloadForm, StopAndCloseDuringAStalledTransfer) {
  TSilentServer silent;
  UseSources({silent.Host(), ""});
  auto form = MakeForm();
  form->show();
  QElapsedTimer sinceStop;
  QTimer::singleShot(300, form.get(), [&] {
    sinceStop.start();
    QTest::mouseClick(Child<QPushButton>(*form, "B_Stop"), Qt::LeftButton);
  });
  Download(*form, kDownAll);
  EXPECT_LT(sinceStop.elapsed(), 10000);  // far inside the 30 s a silent source is given
  EXPECT_EQ(silent.Requests(), 1);
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(Child<QPushButton>(*form, "B_Download")->isEnabled());

  form->State().HttpClient->LowSpeedTime = 1;
  Download(*form, kDownSelected, 0);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Read timed out."});
  form->hide();

  // Started by itself, closed while the source is silent: the download files go too.
  for (const std::string& file : {env.sDnListFile, env.sDnThumbFile, env.sDnHeaderFile}) Spit(file, {'x'});
  form->State().HttpClient->LowSpeedTime = kDefaultLowSpeedTime;
  form->StartAtOnce = true;
  QElapsedTimer sinceClose;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (silent.Requests() == 3 && !sinceClose.isValid()) {
      sinceClose.start();
      form->close();
    }
  });
  poll.start(100);
  QTimer::singleShot(10000, form.get(), [&] { form->done(99); });  // a hung run fails the test, not the suite
  EXPECT_EQ(form->exec(), 0);
  EXPECT_LT(sinceClose.elapsed(), 10000);
  EXPECT_FALSE(form->StartAtOnce);
  for (const std::string& file : {env.sDnListFile, env.sDnThumbFile, env.sDnHeaderFile}) EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(boxes.size(), 1u);

  // Exit gives 1, and no start at once the second time.
  poll.stop();
  QTimer::singleShot(0, form.get(), [&] { QTest::mouseClick(Child<QPushButton>(*form, "B_Ok"), Qt::LeftButton); });
  EXPECT_EQ(form->exec(), 1);
  EXPECT_EQ(silent.Requests(), 3);
}

// With no source set the window says so and names the file to edit, and asks nobody; without
// the HTTP library the window says that downloads are not available.
TEST_F(DownloadForm, NoSourceAndNoHttpLibrary) {
  TSilentServer stale;
  env.Sources.ServerHosts = {};
  options.DnSrc = stale.Host();  // a source kept in the settings from earlier
  auto form = MakeForm();
  form->StartAtOnce = true;
  form->show();
  auto* note = Child<QLabel>(*form, "L_NoSource");
  EXPECT_TRUE(note->isVisible());
  EXPECT_EQ(note->text().toStdString(),
            "No download source is set, so there is nothing to download yet.\nWhoever runs a "
            "jigsaw site can name it in " +
                env.Sources.FileToEdit + " (a copy of sources.ini from the program folder).");
  EXPECT_FALSE(Child<QPushButton>(*form, "B_Download")->isEnabled());
  QTest::qWait(300);
  form->B_DownloadClick();
  EXPECT_EQ(stale.Requests(), 0);
  EXPECT_TRUE(boxes.empty());
  // The options page lists the two empty entries; OK keeps the player's source.
  TF_Options dialog(TOptionsFormEnv{&lang, env.Sources.ServerHosts, {}, {}});
  TOptionsValues values;
  values.GameOptions = options;
  dialog.LoadValues(values);
  dialog.show();
  EXPECT_EQ(dialog.findChild<QComboBox*>("CB_DnSrc")->count(), 2);
  QTest::mouseClick(dialog.findChild<QPushButton*>("B_Ok"), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), 1);
  EXPECT_EQ(dialog.Values().GameOptions.DnSrc, stale.Host());

  env.MakeHttpClient = [] { return std::unique_ptr<TMyHttp>(); };
  MakeForm()->show();
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Downloads are not available: the connection could not be set up."});
}

namespace {
struct TTopicRecorder : THelpViewer {
  std::vector<std::string> Shown;
  void ShowTopic(const std::string& file, const std::string& topic) override { Shown.push_back(file + "#" + topic); }
};
}  // namespace

TEST_F(DownloadForm, ClickPreviewHelpAndEscape) {
  TTopicRecorder viewer;
  env.Help.Viewer = &viewer;
  env.HelpFile = [] { return std::string("/help/english.chm"); };
  auto form = MakeForm();
  form->show();
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  auto* list = Child<QListWidget>(*form, "LV_Downs");
  // A click on the third jigsaw shows its preview.
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
  EXPECT_EQ(form->SelectedIndex(), 2);
  EXPECT_EQ(Child<QGroupBox>(*form, "GB_DownThumb")->title().toStdString(), "yellow-flower");
  QCoreApplication::processEvents();
  EXPECT_EQ(ControlsOutsideTheirPanels(form.get()), std::vector<std::string>());
  // A jigsaw without a preview empties the preview's caption.
  fs::remove(site.Thumb + "raindrops.jpg");
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
  EXPECT_TRUE(Child<QGroupBox>(*form, "GB_DownThumb")->title().isEmpty());
  EXPECT_FALSE(Child<QLabel>(*form, "I_DownThumb")->isVisible());

  QTest::mouseClick(Child<QPushButton>(*form, "B_Help"), Qt::LeftButton);
  QTest::keyClick(list, Qt::Key_F1);
  EXPECT_EQ(viewer.Shown,
            (std::vector<std::string>{"/help/english.chm#download.htm", "/help/english.chm#download.htm"}));

  // Escape closes as the close box does, through the close timer.
  QTest::keyClick(list, Qt::Key_Escape);
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 2000));
  EXPECT_EQ(form->result(), 0);
}

// A source that trickles its answer far too slowly fails with the time-out message once the
// measuring time is over; Stop still cuts such a transfer off with nothing to report.
TEST_F(DownloadForm, ATrickleTimesOutAndStopStillActs) {
  TSilentServer trickle(20);
  UseSources({trickle.Host(), ""});
  auto form = MakeForm();
  form->show();
  form->State().HttpClient->LowSpeedTime = 1;
  QTimer guard;  // a trickle that never ends fails the test, not the suite
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [&] { form->B_StopClick(); });
  guard.start(10000);
  Download(*form, kDownSelected, 0);
  guard.stop();
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Read timed out."});
  EXPECT_TRUE(Child<QPushButton>(*form, "B_Download")->isEnabled());

  boxes.clear();
  form->State().HttpClient->LowSpeedTime = kDefaultLowSpeedTime;
  QTimer::singleShot(300, form.get(), [&] { QTest::mouseClick(Child<QPushButton>(*form, "B_Stop"), Qt::LeftButton); });
  Download(*form, kDownSelected, 0);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(trickle.Requests(), 2);
  EXPECT_TRUE(f.LeftOvers().empty());
}

// Stop while an archive is on its way: the jigsaw it cut off is no failure, nothing of it is
// left, and the player's older copy stays as it was.
TEST_F(DownloadForm, StopDuringAnArchiveIsNoFailure) {
  TSilentServer stalled(0, true);
  UseSources({stalled.Host(), ""});
  f.WriteJigsaw("raindrops", {7, 7, 7});
  auto form = MakeForm();
  form->show();
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (stalled.Requests() == 2) {
      poll.stop();
      QTest::mouseClick(Child<QPushButton>(*form, "B_Stop"), Qt::LeftButton);
    }
  });
  poll.start(50);
  Download(*form, kDownAll);
  EXPECT_EQ(stalled.Requests(), 2);  // the info file, then the first archive, cut off
  EXPECT_TRUE(boxes.empty());
  EXPECT_FALSE(f.HasJigsaw("ladybird"));
  EXPECT_EQ(Slurp(f.Jigsaws + "raindrops.zvq"), (std::vector<uint8_t>{7, 7, 7}));
  EXPECT_TRUE(f.LeftOvers().empty());
  EXPECT_TRUE(Child<QPushButton>(*form, "B_Download")->isEnabled());
}

// A hostile site loses: an archive that names another jigsaw of the player's, one that builds a
// deep tree, one whose entry name hides a NUL, and an error page whose long title carries a
// link. Each item fails, nothing of the player's changes and nothing is left behind.
TEST_F(DownloadForm, AHostileSiteLosesAndLeavesNothing) {
  f.WriteJigsaw("keep", {5, 5});
  std::string deep;
  for (int i = 0; i < 200; ++i) deep += "e/";
  MakeZip(site.Archives + "ladybird.zip", {{"keep.zvq", 100}});
  MakeZip(site.Archives + "raindrops.zip", {{deep + "raindrops.zvq", 100}});
  MakeZip(site.Archives + "yellow-flower.zip", {{"yellow-flower.zvq|.txt", 100}});
  auto form = MakeForm();
  form->show();
  Download(*form, kDownAll);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"3 jigsaws could not be downloaded."});
  EXPECT_EQ(Slurp(f.Jigsaws + "keep.zvq"), (std::vector<uint8_t>{5, 5}));
  std::vector<std::string> jigsaws;
  for (const auto& e : fs::directory_iterator(f.Jigsaws)) jigsaws.push_back(e.path().filename().string());
  EXPECT_EQ(jigsaws, std::vector<std::string>{"keep.zvq"});
  EXPECT_TRUE(f.LeftOvers().empty());

  boxes.clear();
  const std::string title = "<a href=\"http://evil.example/\">Moved</a>" + std::string(60000, 'w');
  Spit(site.Archives + "ladybird.zip", std::vector<uint8_t>(title.begin(), title.end()));
  const std::string page = "<html><title>" + title + "</title></html>";
  Spit(site.Archives + "ladybird.zip", std::vector<uint8_t>(page.begin(), page.end()));
  Download(*form, kDownSelected, 0);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{title.substr(0, kMaxOutsideText) + "..."});
  EXPECT_TRUE(f.LeftOvers().empty());
}

// One run writes no more than its budget, all its archives together; the next run starts afresh.
TEST_F(DownloadForm, ARunWritesNoMoreThanItsBudget) {
  auto form = MakeForm();
  form->show();
  form->State().MaxRunBytes =
      int64_t(fs::file_size(DistributedJigsaw("ladybird")) + fs::file_size(DistributedJigsaw("raindrops")));
  Download(*form, kDownAll);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"1 jigsaws could not be downloaded."});
  EXPECT_TRUE(f.Downloaded("ladybird"));
  EXPECT_TRUE(f.Downloaded("raindrops"));
  EXPECT_FALSE(f.HasJigsaw("yellow-flower"));
  EXPECT_TRUE(f.LeftOvers().empty());
  Download(*form, kDownNew);
  EXPECT_TRUE(f.Downloaded("yellow-flower"));
}

// A long unpacking keeps the window handling its input, and Stop ends it: the marked folder
// goes, the old jigsaw stays, and nothing is reported.
TEST_F(DownloadForm, StopEndsALongUnpacking) {
  f.WriteJigsaw("ladybird", {7, 7, 7});
  MakeZip(site.Archives + "ladybird.zip", {{"ladybird.zvq", size_t(64) << 20}});
  auto form = MakeForm();
  form->show();
  bool stopped = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    for (const auto& e : fs::directory_iterator(f.Jigsaws))
      if (!stopped && e.path().filename().string().starts_with(".zorva-tmp-unpack-")) {
        stopped = true;
        QTest::mouseClick(Child<QPushButton>(*form, "B_Stop"), Qt::LeftButton);
      }
  });
  poll.start(1);
  answers = {kIdOk};
  Download(*form, kDownSelected, 0);
  poll.stop();
  EXPECT_TRUE(stopped);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"ladybird already exists.\r\nDo you want to replace it?"});
  EXPECT_EQ(Slurp(f.Jigsaws + "ladybird.zvq"), (std::vector<uint8_t>{7, 7, 7}));
  EXPECT_TRUE(f.LeftOvers().empty());
  EXPECT_TRUE(Child<QPushButton>(*form, "B_Download")->isEnabled());
}

// A list name that looks like markup is shown as the text it is, in the list's tooltip too.
TEST_F(DownloadForm, ListNamesAreShownAsText) {
  const std::string name = "<img src=x><a href=\"http://evil.example/\">go</a> & more";
  Spit(site.Thumb + "jiglist.txt", std::vector<uint8_t>(name.begin(), name.end()));
  auto form = MakeForm();
  form->show();
  auto* list = Child<QListWidget>(*form, "LV_Downs");
  ASSERT_EQ(list->count(), 1);
  const QString tip = list->item(0)->toolTip();
  EXPECT_EQ(QTextDocumentFragment::fromHtml(tip).toPlainText().toStdString(), name);
}

// Names and texts from the site that would forge lines or run backwards: the list shows them
// blanked, a name that cannot be a file name is not fetched, an archive entry named so is not
// unpacked, and an error page's title comes out as one line.
TEST_F(DownloadForm, OutsideTextNeitherForgesLinesNorRunsBackwards) {
  const std::string rtl = "rtl\u202Eabc", forged = "line\u2028two\u2029three\u0085four";
  const std::string list = rtl + "\n" + forged + "\nladybird\nraindrops\n";
  Spit(site.Thumb + "jiglist.txt", std::vector<uint8_t>(list.begin(), list.end()));
  Spit(site.Thumb + rtl + ".jpg", QtPictureBytes("JPG", 40, 30, Qt::red));
  MakeZip(site.Archives + "ladybird.zip", {{"lady\u202Ebird.zvq", 100}});
  const std::string page = "<html><title>Gone\u2028Forged line \u202Eevil\xE2\x80</title></html>";
  Spit(site.Archives + "raindrops.zip", std::vector<uint8_t>(page.begin(), page.end()));
  auto form = ShowActive();
  auto* rows = Child<QListWidget>(*form, "LV_Downs");
  ASSERT_EQ(rows->count(), 4);
  EXPECT_EQ(rows->item(0)->text().toStdString(), "rtl abc");
  EXPECT_EQ(rows->item(1)->text().toStdString(), "line two three four");
  EXPECT_EQ(rows->item(1)->toolTip().toStdString(), "line two three four");
  ClickRow(*form, 0);
  EXPECT_EQ(ShownText(Child<QGroupBox>(*form, "GB_DownThumb")), "rtl abc");
  {
    // The list draws the names as a list of the blanked names draws them.
    options.ThumbPath = f.Thumb;
    f.WriteList("rtl abc\nline two three four\nladybird\nraindrops\n");
    Spit(f.Thumb + "rtl abc.jpg", QtPictureBytes("JPG", 40, 30, Qt::red));
    for (const char* name : {"ladybird.jpg", "raindrops.jpg"}) fs::copy_file(site.Thumb + name, f.Thumb + name);
    auto blanked = ShowActive();
    ClickRow(*blanked, 0);
    blanked->resize(form->size());
    QCoreApplication::processEvents();
    EXPECT_EQ(Child<QListWidget>(*blanked, "LV_Downs")->viewport()->grab().toImage(),
              rows->viewport()->grab().toImage());
    options.ThumbPath = site.Thumb;
  }

  for (int row = 0; row < 4; ++row) Download(*form, kDownSelected, row);
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"\"rtl abc\" cannot be a jigsaw's file name.",
                                                  "\"line two three four\" cannot be a jigsaw's file name.",
                                                  "RARProcessFile error - 16\r\nThe archive holds a name that "
                                                  "is no plain file name: \"lady bird.zvq\"",
                                                  "Gone Forged line  evil\uFFFD\uFFFD"}));
  EXPECT_FALSE(f.HasJigsaw("ladybird"));
  EXPECT_TRUE(fs::is_empty(f.Jigsaws));
  EXPECT_TRUE(f.LeftOvers().empty());
}

// An archive larger than an unpacking may write is not fetched at all.
TEST_F(DownloadForm, AnArchiveLargerThanAnUnpackingMayWriteIsNotFetched) {
  fs::resize_file(site.Archives + "ladybird.zip", uintmax_t(kRarMaxTotalSize) + 1);  // sparse: costs no disk
  auto form = MakeForm();
  form->show();
  Download(*form, kDownSelected, 0);
  EXPECT_EQ(BoxTexts(),
            std::vector<std::string>{"The answer is larger than " + std::to_string(kRarMaxTotalSize) + " bytes."});
  EXPECT_FALSE(f.HasJigsaw("ladybird"));
  EXPECT_TRUE(f.LeftOvers().empty());
}

// A list preview is decoded as a preview, never at the size it claims: a progressive one whose
// decoding would hold every coefficient of its 6400 x 6400 pixels, and a file padded past a
// preview's bytes, show no preview in the list or beside it; a 4000 x 3000 one still shows.
TEST_F(DownloadForm, ListPreviewsAreDecodedWithinAPreviewsLimits) {
  const std::string names = "progressive\npadded\nquadrants\n";
  Spit(site.Thumb + "jiglist.txt", std::vector<uint8_t>(names.begin(), names.end()));
  Spit(site.Thumb + "progressive.jpg",
       QtEncoded(Quadrants(6400, 6400).convertToFormat(QImage::Format_Grayscale8), "JPG", true));
  Spit(site.Thumb + "padded.jpg", QtPictureBytes("JPG", 180, 135, Qt::red));
  fs::resize_file(site.Thumb + "padded.jpg", uintmax_t(kMaxPreviewFileBytes) + 1);
  Spit(site.Thumb + "quadrants.jpg", QtEncoded(Quadrants(4000, 3000), "JPG"));
  auto form = ShowActive();
  ASSERT_EQ(Child<QListWidget>(*form, "LV_Downs")->count(), 3);
  struct TCase {
    int Row;
    bool Shown;
  };
  for (const TCase& c : {TCase{0, false}, TCase{1, false}, TCase{2, true}}) {
    const TDownloadItem& item = form->List().Items[size_t(c.Row)];
    SCOPED_TRACE(item.Caption);
    ClickRow(*form, c.Row);
    EXPECT_EQ(form->SelectedIndex(), c.Row);
    EXPECT_EQ(Child<QLabel>(*form, "I_DownThumb")->isVisible(), c.Shown);
    EXPECT_EQ(Child<QGroupBox>(*form, "GB_DownThumb")->title().toStdString(), c.Shown ? item.Caption : "");
    EXPECT_EQ(item.ImageIndex, c.Shown ? c.Row + 1 : 0);
  }
  // The one shown fills its cell, its quadrants where they were.
  const TDibImage& cell = **form->List().Cells[3];
  const uint32_t want[4] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF};
  for (int q = 0; q < 4; ++q) {
    const int32_t got = GetDibPixel(cell, (2 * (q % 2) + 1) * 180 / 4, (2 * (q / 2) + 1) * 135 / 4);
    for (int shift = 0; shift < 24; shift += 8)
      EXPECT_NEAR((got >> shift) & 255, int32_t(want[q] >> shift) & 255, 12) << "quadrant " << q;
  }
}

// A list name with markup and an ampersand heads its preview and fills its tooltip as the text
// it is: no shortcut letter, no markup read.
TEST_F(DownloadForm, ListNamesHeadTheirPreviewAsText) {
  for (const std::string name : {"rock & roll", "<b>bold & <i>more"}) {
    SCOPED_TRACE(name);
    const std::string list = "plain\n" + name + "\n";
    Spit(site.Thumb + "jiglist.txt", std::vector<uint8_t>(list.begin(), list.end()));
    Spit(site.Thumb + name + ".jpg", QtPictureBytes("JPG", 40, 30, Qt::red));
    auto form = ShowActive();
    auto* rows = Child<QListWidget>(*form, "LV_Downs");
    ASSERT_EQ(rows->count(), 2);
    ClickRow(*form, 1);
    EXPECT_EQ(ShownText(Child<QGroupBox>(*form, "GB_DownThumb")), name);
    const QString tip = rows->item(1)->toolTip();
    EXPECT_EQ(
        Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText().toStdString() : tip.toStdString(),
        name);
  }
}

// How the list looks: each preview at its drawn size centred over its name, the tick on the
// preview of a jigsaw the player has, the selection's double frame, and the control bar flush
// against the list's right at the window's margin.
TEST_F(DownloadForm, TheListShowsPreviewsTicksAndTheSelection) {
  options.ThumbPath = f.Thumb;
  f.WriteList("red\nblue\n");
  f.WritePreview("red", 100, 50, QColor(255, 0, 0));
  f.WritePreview("blue", 360, 270, QColor(0, 0, 255));  // drawn at 180 x 135
  f.WriteJigsaw("blue", {1});
  auto form = MakeForm();
  form->show();
  auto* list = Child<QListWidget>(*form, "LV_Downs");
  ASSERT_EQ(list->count(), 2);
  ASSERT_EQ(form->SelectedIndex(), 0);
  const QImage shot = list->viewport()->grab().toImage();
  const int textH = QFontMetrics(list->font()).height();
  const auto near = [&](QPoint p, QColor want) {
    const QColor c = shot.pixelColor(p);
    return std::abs(c.red() - want.red()) <= 24 && std::abs(c.green() - want.green()) <= 24 &&
           std::abs(c.blue() - want.blue()) <= 24;
  };
  const QColor base = list->palette().base().color(), frame(0, 128, 255), tick(34, 150, 60);
  struct TCase {
    int Row, W, H;
    QColor Preview;
    bool Tick, Selected;
  };
  for (const TCase& c :
       {TCase{0, 100, 50, QColor(255, 0, 0), false, true}, TCase{1, 180, 135, QColor(0, 0, 255), true, false}}) {
    SCOPED_TRACE(c.Row);
    const QRect r = list->visualItemRect(list->item(c.Row));
    const int top = r.top() + (r.height() - (c.H + 5 + textH)) / 2, left = r.left() + (r.width() - c.W) / 2;
    EXPECT_TRUE(near({left + c.W - 3, top + c.H - 3}, c.Preview));
    EXPECT_TRUE(near({left + c.W / 2, top + 2}, c.Preview));
    EXPECT_TRUE(near({left - 1, top + c.H / 2}, base));
    EXPECT_TRUE(near({left + c.W / 2, top + c.H + 1}, base));
    EXPECT_TRUE(near({left + 12, top + 5}, c.Tick ? tick : c.Preview));
    for (const QPoint& p : {r.topLeft() + QPoint(2, 2), r.topLeft() + QPoint(3, 3), r.bottomRight() - QPoint(1, 1),
                            r.bottomRight() - QPoint(2, 2)})
      EXPECT_TRUE(near(p, c.Selected ? frame : base)) << p.x() << "," << p.y();
    for (const QPoint& p :
         {r.topLeft() + QPoint(4, 4), r.topLeft() + QPoint(1, 1), r.bottomRight() - QPoint(3, 3), r.bottomRight()})
      EXPECT_TRUE(near(p, base)) << p.x() << "," << p.y();
  }
  auto* bar = Child<QWidget>(*form, "P_ControlBar");
  EXPECT_EQ(bar->geometry().right(), form->width() - 1 - 12);
  EXPECT_EQ(bar->width(), 240);
  EXPECT_EQ(Child<QWidget>(*form, "GB_DownThumb")->geometry(),
            QRect(0, 0, 240, Child<QWidget>(*form, "GB_DownThumb")->height()))
      << "the controls fill the bar's width from its top";
  EXPECT_EQ(Child<QWidget>(*form, "B_Ok")->geometry().bottom(), bar->height() - 1) << "Exit at the bar's foot";
  EXPECT_EQ(list->geometry().right() + 12, bar->x() - 1);
  // The window opens at four fifths of its screen, never below its design size, centred.
  const QRect area = form->screen()->availableGeometry();
  const QSize size(std::max(609, area.width() * 4 / 5), std::max(616, area.height() * 4 / 5));
  EXPECT_EQ(form->size(), size);
  EXPECT_EQ(form->pos(),
            QPoint(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2));
}

// The player's TLS choice reaches the client each time the window opens; a stored value
// outside the choices leaves the client's own.
TEST_F(DownloadForm, TheTlsChoiceReachesTheClient) {
  struct TCase {
    int32_t Stored, Used;
  };
  for (const TCase& c : {TCase{kTlsV1_3, kTlsV1_3}, TCase{kSslV2, kSslV2}, TCase{kSslV23, kSslV23}, TCase{-1, kTlsV1_2},
                         TCase{kTlsV1_3 + 1, kTlsV1_2}}) {
    options.SecureMethodInd = c.Stored;
    auto form = MakeForm();
    form->show();
    EXPECT_EQ(form->State().HttpClient->SslVersion, c.Used) << c.Stored;
  }
}

// What the runs ask of the window, at every index from one before the list to one past it:
// names and marks of the list's own items only, the progress never past its maximum.
TEST_F(DownloadForm, TheWindowAnswersTheRunsForItsOwnItemsOnly) {
  auto form = MakeForm();
  TDownloadWindowView& view = *form;
  const int32_t count = view.ItemCount();
  ASSERT_EQ(count, 3);
  auto* list = Child<QListWidget>(*form, "LV_Downs");
  for (int32_t i = -1; i <= count; ++i) {
    SCOPED_TRACE(i);
    const bool inside = i >= 0 && i < count;
    view.SetItemState(i, 1);
    EXPECT_EQ(view.ItemState(i), inside ? 1 : 0);
    EXPECT_EQ(view.ItemCaption(i), inside ? form->List().Items[size_t(i)].Caption : "");
    list->setCurrentRow(1);
    view.ShowItem(i);
    EXPECT_EQ(list->currentRow(), inside ? i : 1);
  }
  for (const auto& item : form->List().Items) EXPECT_EQ(item.StateIndex, 1);

  auto* bar = Child<QProgressBar>(*form, "PB_DownProgress");
  view.SetProgressMax(10);
  for (const auto& [position, shown] : {std::pair{9, 9}, {10, 10}, {11, 10}}) {
    view.SetProgressPosition(position);
    EXPECT_EQ(bar->value(), shown) << position;
  }
  view.SetProgressMax(-5);
  EXPECT_EQ(bar->maximum(), 0);

  auto* mode = Child<QComboBox>(*form, "CB_DownMode");
  ASSERT_EQ(form->ItemCount("CB_DownMode"), 3);
  EXPECT_EQ(form->ItemCount("LV_Downs"), 0);
  for (int32_t i = -1; i <= 3; ++i) form->SetItem("CB_DownMode", i, "mode " + std::to_string(i));
  form->SetItem("other", 0, "x");
  EXPECT_EQ(mode->count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(mode->itemText(i), QString("mode %1").arg(i));
}
