#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>

#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "ui/dialogs/dir_view_form.h"
#include "ui/main_window/answered_main_window.h"

namespace {

namespace fs = std::filesystem;

// Files larger than a limit cannot be written while it holds (the nearest a test comes to a
// full disk without a disk of its own).
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    signal_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, signal_);
  }

 private:
  rlimit old_{};
  void (*signal_)(int) = nullptr;
};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class SaveFailures : public AnsweredMainWindow {
 protected:
  TGameSession& S() { return main->Session(); }
  void OpenGame() {
    Start();
    ASSERT_TRUE(Open(S().Paths.sJigsawDir + "dune-grass.zvq", 13, 4, 20261207));
  }
  void SaveAs(const std::string& name) {
    main->RunBrowser = [name](TF_DirView& dv) {
      dv.show();
      QCoreApplication::processEvents();
      auto* edit = dv.findChild<QLineEdit*>("E_FileName");
      edit->setText(QString::fromStdString(name));
      QTest::keyClick(edit, Qt::Key_Return);
      if (dv.isVisible()) dv.reject();
      return dv.result();
    };
    main->SaveAsCommand();
  }
  // One autosave interval passes with a change to save.
  void AutoSaveInterval() {
    S().AutoSaveModified = true;
    S().LastAutoSaveTime = -1e9;
    main->AutoSaveTimer();
  }
};

// Leaving the game when the settings cannot be written says so once, and why.
TEST_F(SaveFailures, ExitTellsOnceThatTheSettingsWereNotWritten) {
  const struct {
    const char* cause;
    int error;
  } cases[] = {{"a folder in the way", EISDIR}, {"no room for the file", EFBIG}};
  for (const auto& c : cases) {
    shown.clear();
    Start();
    const std::string ini = S().Paths.sIniFile;
    std::unique_ptr<TFileSizeLimit> limit;
    if (c.error == EISDIR) {
      fs::remove(ini);
      fs::create_directory(ini);
    } else {
      limit = std::make_unique<TFileSizeLimit>(64);
    }
    EXPECT_TRUE(main->close());
    limit.reset();
    ASSERT_EQ(shown.size(), 1u) << c.cause;
    EXPECT_TRUE(Contains(shown[0].Text, ini)) << shown[0].Text;
    EXPECT_TRUE(Contains(shown[0].Text, std::strerror(c.error))) << shown[0].Text;
    EXPECT_EQ(shown[0].Flags & 0xF0, kMbIconExclamation);
    main.reset();
    fs::remove_all(ini);
  }
}

TEST_F(SaveFailures, FailedSaveSaysWhy) {
  OpenGame();
  {
    TFileSizeLimit limit(64 * 1024);
    SaveAs("too big");
  }
  const std::string path = S().Paths.sSavedDir + "too big.sv1";
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Text, "Cannot save the game to \"" + path + "\": " + std::strerror(EFBIG) + ".");
  EXPECT_FALSE(fs::exists(path));
}

// An autosave that cannot be written says so at the first interval only; once a save has gone
// through, the next failure is told again.
TEST_F(SaveFailures, FailingAutosaveSaysSoOnceUntilASaveSucceeds) {
  OpenGame();
  const std::string autosave = S().Paths.sAutoSave;
  fs::remove(autosave);
  fs::create_directory(autosave);
  for (int i = 0; i < 3; ++i) AutoSaveInterval();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Text, "Cannot save the game to \"" + autosave + "\": " + std::strerror(EISDIR) + ".");

  fs::remove(autosave);
  AutoSaveInterval();
  EXPECT_TRUE(fs::is_regular_file(autosave));
  EXPECT_EQ(shown.size(), 1u);

  fs::remove(autosave);
  fs::create_directory(autosave);
  AutoSaveInterval();
  AutoSaveInterval();
  EXPECT_EQ(shown.size(), 2u);
}

}  // namespace
