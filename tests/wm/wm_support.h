#pragma once
// Scenarios under a real window manager: the test program runs through run_under_wm.sh, which
// gives it a display of its own with openbox. A window there is framed, placed and resized by
// the window manager, later than the program asks for it.
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <signal.h>
#include <sys/types.h>

#include <cstdlib>
#include <functional>
#include <string>

// True on an X display (the wrapper's); elsewhere the scenarios skip.
inline bool OnWindowManagerDisplay() { return QGuiApplication::platformName() == "xcb"; }

// Processes events until done() holds, at most ms milliseconds; done()'s last answer.
inline bool WaitFor(const std::function<bool()>& done, int ms = 10000) { return QTest::qWaitFor(done, ms); }

// Processes events for ms milliseconds: what the window manager still had to send has arrived.
inline void Settle(int ms = 300) { QTest::qWait(ms); }

// Shows the window and waits until the window manager has framed it.
inline bool ShowFramed(QWidget& w) {
  w.show();
  return QTest::qWaitForWindowExposed(&w) &&
         WaitFor([&w] { return w.windowHandle() && !w.windowHandle()->frameMargins().isNull(); });
}

// With ZORVA_WM_SHOTS naming a folder, the whole screen is saved there as NAME.png.
inline void Screenshot(const std::string& name) {
  const char* folder = std::getenv("ZORVA_WM_SHOTS");
  if (!folder || !*folder) return;
  if (QScreen* sc = QGuiApplication::primaryScreen())
    sc->grabWindow(0).save(QString::fromStdString(std::string(folder) + "/" + name + ".png"));
}

// While it lives the window manager is held still: what the program asks of it (a new size,
// full screen, a frame) is answered only afterwards, as on a busy desktop.
class TLateWindowManager {
 public:
  TLateWindowManager() {
    const char* pid = std::getenv("ZORVA_WM_PID");
    pid_ = pid ? pid_t(std::atoi(pid)) : 0;
    if (pid_ > 0) kill(pid_, SIGSTOP);
  }
  ~TLateWindowManager() {
    if (pid_ > 0) kill(pid_, SIGCONT);
  }
  TLateWindowManager(const TLateWindowManager&) = delete;
  TLateWindowManager& operator=(const TLateWindowManager&) = delete;
  bool Held() const { return pid_ > 0; }

 private:
  pid_t pid_ = 0;
};
