#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/sound.h"

namespace {
std::string DataFile(const char* name) { return std::string(getenv("ZORVA_DATA_DIR")) + "/" + name; }
}  // namespace

TEST(Sound, MissingFilesPlayTheChimeOnlyWhenAllowed) {
  std::vector<std::string> played;
  SetSoundSink([&](const std::string& p) { played.push_back(p); });
  PlaySoundFile("/nonexistent/set.wav", false);
  PlaySoundFile("/nonexistent/win.wav", true);
  PlaySoundFile(DataFile("set.wav"), false);
  SetSoundSink({});
  ASSERT_EQ(played.size(), 2u);
  EXPECT_EQ(played[0], ":default");
  EXPECT_EQ(played[1], DataFile("set.wav"));
}

TEST(Sound, ShippedSoundsAreShortPcmWaves) {
  for (const char* name : {"set.wav", "win.wav"}) {
    QFile f(QString::fromStdString(DataFile(name)));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    const QByteArray head = f.read(44);
    ASSERT_EQ(head.size(), 44);
    EXPECT_EQ(head.left(4) + head.mid(8, 8), "RIFFWAVEfmt ");
    EXPECT_EQ(head[20], 1);  // PCM
    EXPECT_LT(f.size(), 200000) << name;
  }
  EXPECT_TRUE(QFile::exists(":/sound/default.wav"));
}

// The real path on a machine without an audio device: repeated plays reuse one effect, the
// missing file falls back to the chime, and nothing blocks or crashes (ASan watches).
TEST(MessageBox, TheHandlerAnswersAndSeesTextAndFlags) {
  std::string seen;
  int seenFlags = 0;
  SetMessageBoxHandler([&](const std::string& text, const std::string&, int flags) {
    seen = text;
    seenFlags = flags;
    return int(kIdYes);
  });
  EXPECT_EQ(ShowMessageBox("Save changes?", "Zorva Jigsaw Quix", kMbYesNo | kMbIconQuestion), kIdYes);
  SetMessageBoxHandler({});
  EXPECT_EQ(seen, "Save changes?");
  EXPECT_EQ(seenFlags, 36);
}

// A server's page title or status line reaches the box as it came: markup is shown as text,
// never as a link.
TEST(MessageBox, MarkupIsShownAsText) {
  const std::string text = "<a href=\"http://evil.example/\">Click <b>here</b></a>";
  QString shown;
  Qt::TextFormat format = Qt::AutoText;
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(w);
      if (!box || !box->isVisible()) continue;
      if (auto* label = box->findChild<QLabel*>("qt_msgbox_label")) {
        shown = label->text();
        format = label->textFormat();
      }
      box->accept();
    }
  });
  EXPECT_EQ(ShowMessageBox(text, "Zorva Jigsaw Quix", kMbOk | kMbIconExclamation), kIdOk);
  EXPECT_EQ(shown.toStdString(), text);
  EXPECT_EQ(format, Qt::PlainText);
}

// Each set of buttons shows those buttons, and the one pressed is the answer given back.
TEST(MessageBox, EachButtonSetShowsItsButtonsAndAnswersWithThePressedOne) {
  struct TCase {
    int buttons;
    QMessageBox::StandardButtons shown;
    QMessageBox::StandardButton pressed;
    int answer;
  };
  const TCase cases[] = {
      {kMbOk, QMessageBox::Ok, QMessageBox::Ok, kIdOk},
      {kMbOkCancel, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel, kIdCancel},
      {kMbOkCancel, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, kIdOk},
      {kMbYesNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, kIdNo},
      {kMbYesNoCancel, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel, kIdCancel},
      {kMbYesNoCancel, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes, kIdYes},
  };
  for (const TCase& c : cases) {
    QMessageBox::StandardButtons shown;
    QTimer::singleShot(0, [&] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box || !box->isVisible()) continue;
        shown = box->standardButtons();
        if (QAbstractButton* b = box->button(c.pressed))
          b->click();
        else
          box->done(-1);  // the button is missing: end the box, the checks below say so
      }
    });
    EXPECT_EQ(ShowMessageBox("Go on?", "Zorva Jigsaw Quix", c.buttons), c.answer) << c.buttons;
    EXPECT_EQ(shown, c.shown) << c.buttons;
  }
}
