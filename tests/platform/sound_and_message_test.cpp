#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
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
