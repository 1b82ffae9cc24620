#include "ui/download/download_form.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "download/jigsaw_site.h"
#include "foundation/lang_forms.h"
#include "platform/message_box.h"

namespace {

// Two sources on 127.0.0.1, the player's folders with a list of three jigsaws and their
// previews, the English texts, and message boxes answered from a queue.
class DownloadFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    f.WriteList("Ant\nBee\nCow\n");
    f.WritePreview("ant", 240, 160, QColor(200, 60, 40));
    f.WritePreview("bee", 120, 90, QColor(230, 190, 40));
    f.WritePreview("cow", 160, 240, QColor(60, 120, 200));
    options.DnSrc = source0.Host();
    env.Options = &options;
    env.Lang = &lang;
    env.sThumbDir = f.Thumb;
    env.sJigsawDir = f.Jigsaws;
    env.sTempDir = f.Temp;
    env.sDnListFile = f.AppData + kDnListFileName;
    env.sDnThumbFile = f.AppData + kDnThumbFileName;
    SetMessageBoxHandler([this](const std::string& text, const std::string&, int flags) {
      boxes.push_back({text, flags});
      if ((flags & 0xF) == kMbOk) return int(kIdOk);
      const int a = answers.empty() ? int(kIdNo) : answers.front();
      if (!answers.empty()) answers.erase(answers.begin());
      return a;
    });
  }
  void TearDown() override { SetMessageBoxHandler(nullptr); }

  // The window with the English texts loaded into it, as the game does at start-up.
  std::unique_ptr<TF_Download> MakeForm() {
    auto form = std::make_unique<TF_Download>(env);
    TLangForms forms;
    forms.Download = form.get();
    lang.LangDir = std::string(ZORVA_SOURCE_DIR) + "/data/language/";
    EXPECT_TRUE(LoadLanguage(lang, lang.LangDir + "english.lng", forms));
    form->State().ServerHosts = {source0.Host(), source1.Host()};
    form->PauseMs = 0;
    return form;
  }
  template <class T>
  static T* Child(TF_Download& form, const char* name) {
    T* w = form.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  TTestHttpServer source0, source1;
  TPlayerFolders f;
  TGameOptions options;
  TLanguageState lang;
  TDownloadEnv env;
  std::vector<TShownMessage> boxes;
  std::vector<int> answers;
};

}  // namespace

TEST_F(DownloadFormTest, ListsAndDownloadsTheSelectedJigsaw) {
  ServeInfoFile(source0);
  const auto bee = FakeJigsaw(300000, 5);
  const size_t rarSize = ServeJigsaw(source0, "bee", bee);
  f.WriteJigsaw("cow", {1});
  auto form = MakeForm();
  form->show();
  EXPECT_EQ(form->windowTitle().toStdString(), "Download Jigsaws");
  auto* mode = Child<QComboBox>(*form, "CB_DownMode");
  EXPECT_EQ(mode->currentIndex(), kDownNew);
  auto* list = Child<QListWidget>(*form, "LV_Downs");
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->item(0)->text().toStdString(), "ant");
  EXPECT_EQ(form->List().Items[2].StateIndex, 1);
  // The first item is selected and its preview shown under its name.
  EXPECT_EQ(form->SelectedIndex(), 0);
  EXPECT_EQ(Child<QGroupBox>(*form, "GB_DownThumb")->title().toStdString(), "ant");
  EXPECT_FALSE(Child<QLabel>(*form, "I_DownThumb")->pixmap().isNull());
  auto* download = Child<QPushButton>(*form, "B_Download");
  EXPECT_TRUE(download->isEnabled());
  EXPECT_FALSE(Child<QPushButton>(*form, "B_Stop")->isEnabled());
  auto* bar = Child<QProgressBar>(*form, "PB_DownProgress");
  EXPECT_FALSE(bar->isVisible());
  EXPECT_GE(form->width(), 609);
  EXPECT_GE(form->height(), 616);

  int maxSeen = 0, lastPos = 0;
  QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) {
    if (v > 0) lastPos = v;
    maxSeen = std::max(maxSeen, bar->maximum());
  });
  mode->setCurrentIndex(kDownSelected);
  list->setCurrentRow(1);
  QTest::mouseClick(download, Qt::LeftButton);
  EXPECT_TRUE(boxes.empty()) << boxes.front().Text;
  EXPECT_EQ(SiteRequests(source0), (std::vector<std::string>{"info.dat", "bee.rar"}));
  EXPECT_EQ(Slurp(f.Jigsaws + "bee.zvq"), bee);
  EXPECT_EQ(form->FirstDownloadedPath(), f.Jigsaws + "bee.rar");
  EXPECT_EQ(form->List().Items[1].StateIndex, 1);
  EXPECT_EQ(maxSeen, int(rarSize));
  EXPECT_EQ(lastPos, int(rarSize));
  // Idle again with the normal caption.
  EXPECT_TRUE(download->isEnabled());
  EXPECT_FALSE(Child<QPushButton>(*form, "B_Stop")->isEnabled());
  EXPECT_EQ(form->windowTitle().toStdString(), "Download Jigsaws");

  // The next show forgets the first download and sees the jigsaw folder again.
  form->hide();
  std::filesystem::remove(f.Jigsaws + "bee.zvq");
  form->show();
  EXPECT_TRUE(form->FirstDownloadedPath().empty());
  EXPECT_EQ(form->List().Items[1].StateIndex, 0);
}

TEST_F(DownloadFormTest, StopEndsTheRunAfterTheCurrentJigsaw) {
  ServeInfoFile(source0);
  for (const char* name : {"ant", "bee", "cow"}) ServeJigsaw(source0, name, FakeJigsaw(200000, 2));
  auto form = MakeForm();
  form->show();
  Child<QComboBox>(*form, "CB_DownMode")->setCurrentIndex(kDownAll);
  auto* stop = Child<QPushButton>(*form, "B_Stop");
  bool stopWasEnabled = false;
  // The player presses Stop while the first archive arrives.
  QObject::connect(Child<QProgressBar>(*form, "PB_DownProgress"), &QProgressBar::valueChanged, [&](int v) {
    if (v > 0 && !stopWasEnabled && form->State().HttpClient->HttpMode == 2) {
      stopWasEnabled = stop->isEnabled();
      QTimer::singleShot(0, [stop] { QTest::mouseClick(stop, Qt::LeftButton); });
    }
  });
  QTest::mouseClick(Child<QPushButton>(*form, "B_Download"), Qt::LeftButton);
  EXPECT_TRUE(stopWasEnabled);
  EXPECT_EQ(SiteRequests(source0), (std::vector<std::string>{"info.dat", "ant.rar"}));
  EXPECT_TRUE(f.HasJigsaw("ant"));
  EXPECT_FALSE(f.HasJigsaw("bee"));
  EXPECT_TRUE(boxes.empty());
  EXPECT_FALSE(stop->isEnabled());
}

TEST_F(DownloadFormTest, FailingSourceOffersTheOther) {
  ServeInfoFile(source1);
  ServeJigsaw(source1, "ant", FakeJigsaw(1000, 8));
  auto form = MakeForm();
  form->show();
  Child<QComboBox>(*form, "CB_DownMode")->setCurrentIndex(kDownSelected);
  answers = {kIdYes};
  QTest::mouseClick(Child<QPushButton>(*form, "B_Download"), Qt::LeftButton);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].Text, "File not found:\r\nhttp://" + source0.Host() + kJigsawSite + "info.dat");
  EXPECT_EQ(boxes[0].Flags, kMbIconExclamation);
  EXPECT_EQ(boxes[1].Text, "The download source " + source0.Host() + " cannot be reached.\r\nTry the other source, " +
                               source1.Host() + "?");
  EXPECT_EQ(boxes[1].Flags, kMbYesNo | kMbIconQuestion);
  EXPECT_EQ(options.DnSrc, source1.Host());
  EXPECT_TRUE(f.HasJigsaw("ant"));

  // The overwrite question comes from the common texts; Cancel fetches nothing.
  boxes.clear();
  answers = {kIdCancel};
  QTest::mouseClick(Child<QPushButton>(*form, "B_Download"), Qt::LeftButton);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, "ant already exists.\r\nDo you want to replace it?");
  EXPECT_EQ(boxes[0].Flags, kMbOkCancel | kMbIconQuestion);
}

TEST_F(DownloadFormTest, StartAtOnceAndCloseRemovesTheDownloadFiles) {
  ServeInfoFile(source0);
  const auto cow = FakeJigsaw(4000, 6);
  ServeJigsaw(source0, "ant", FakeJigsaw(4000, 4));
  ServeJigsaw(source0, "cow", cow);
  f.WriteJigsaw("bee", {1});
  Spit(env.sDnListFile, {'x'});
  Spit(env.sDnThumbFile, {'y'});
  auto form = MakeForm();
  form->StartAtOnce = true;
  // Closed with its button once the run that started by itself is over.
  QTimer poll;
  auto* ok = Child<QPushButton>(*form, "B_Ok");
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (f.HasJigsaw("cow") && Child<QPushButton>(*form, "B_Download")->isEnabled())
      QTest::mouseClick(ok, Qt::LeftButton);
  });
  poll.start(20);
  QTimer::singleShot(10000, form.get(), [&] { form->done(99); });  // a hung run fails the test, not the suite
  EXPECT_EQ(form->exec(), 1);
  EXPECT_FALSE(form->StartAtOnce);
  EXPECT_EQ(SiteRequests(source0), (std::vector<std::string>{"info.dat", "ant.rar", "cow.rar"}));
  EXPECT_EQ(Slurp(f.Jigsaws + "cow.zvq"), cow);
  // The main window reads the first download after the window is closed.
  EXPECT_EQ(form->FirstDownloadedPath(), f.Jigsaws + "ant.rar");
  EXPECT_FALSE(std::filesystem::exists(env.sDnListFile));
  EXPECT_FALSE(std::filesystem::exists(env.sDnThumbFile));
  EXPECT_TRUE(boxes.empty());

  // The window's close box gives 0 and also removes them.
  poll.stop();
  Spit(env.sDnListFile, {'x'});
  QTimer::singleShot(0, form.get(), [&] { form->close(); });
  EXPECT_EQ(form->exec(), 0);
  EXPECT_FALSE(std::filesystem::exists(env.sDnListFile));
  EXPECT_EQ(SiteRequests(source0).size(), 3u);  // no start at once the second time
}

TEST_F(DownloadFormTest, CloseDuringATransferEndsTheRun) {
  ServeInfoFile(source0);
  for (const char* name : {"ant", "bee", "cow"}) ServeJigsaw(source0, name, FakeJigsaw(400000, 1));
  auto form = MakeForm();
  bool closed = false;
  QObject::connect(Child<QProgressBar>(*form, "PB_DownProgress"), &QProgressBar::valueChanged, [&](int v) {
    if (v > 0 && !closed) {
      closed = true;
      QTimer::singleShot(0, form.get(), [&] { form->close(); });
    }
  });
  QTimer::singleShot(0, form.get(), [&] {
    Child<QComboBox>(*form, "CB_DownMode")->setCurrentIndex(kDownAll);
    QTest::mouseClick(Child<QPushButton>(*form, "B_Download"), Qt::LeftButton);
  });
  QTimer::singleShot(10000, form.get(), [&] { form->done(99); });
  EXPECT_EQ(form->exec(), 0);
  EXPECT_TRUE(closed);
  EXPECT_FALSE(f.HasJigsaw("bee"));
  EXPECT_FALSE(f.HasJigsaw("cow"));
  EXPECT_TRUE(f.TempFiles().empty());
  // The transfer cut off by closing is no failure to report, and no failure count follows.
  EXPECT_TRUE(boxes.empty()) << boxes.front().Text;
}

namespace {
struct TTopicRecorder : THelpViewer {
  std::vector<std::string> Shown;
  void ShowTopic(const std::string& file, const std::string& topic) override { Shown.push_back(file + "#" + topic); }
};
}  // namespace

TEST_F(DownloadFormTest, ClickPreviewHelpAndEscape) {
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
  EXPECT_EQ(Child<QGroupBox>(*form, "GB_DownThumb")->title().toStdString(), "cow");
  // A jigsaw without a preview empties the preview's caption.
  std::filesystem::remove(f.Thumb + "bee.jpg");
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
  EXPECT_TRUE(Child<QGroupBox>(*form, "GB_DownThumb")->title().isEmpty());
  EXPECT_FALSE(Child<QLabel>(*form, "I_DownThumb")->isVisible());

  QTest::mouseClick(Child<QPushButton>(*form, "B_Help"), Qt::LeftButton);
  QTest::keyClick(list, Qt::Key_F1);
  EXPECT_EQ(viewer.Shown, (std::vector<std::string>{"/help/english.chm#download.htm", "/help/english.chm#download.htm"}));

  // Escape closes as the close box does, through the close timer.
  QTest::keyClick(list, Qt::Key_Escape);
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 2000));
  EXPECT_EQ(form->result(), 0);
}
