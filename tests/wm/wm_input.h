#pragma once
// Real input through the X server, as the player's mouse and keyboard give it: xdotool moves
// the pointer and presses buttons and keys, so the window manager sees the clicks too (a click
// raises and focuses a window there, which a Qt event sent straight to a widget never does).
#include <QApplication>
#include <QCursor>
#include <QPoint>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "wm/wm_support.h"

// True when xdotool can be run; the scenarios that need real input skip without it.
inline bool HaveRealInput() { return !QStandardPaths::findExecutable("xdotool").isEmpty(); }

// Runs xdotool with ARGS and waits for it; false when it failed or hung.
inline bool Xdotool(const QStringList& args) {
  QProcess p;
  p.start("xdotool", args);
  return p.waitForFinished(5000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Moves the pointer to the widget's point (widget coordinates) and clicks BUTTON there
// (1 left, 3 right); then lets the window manager and the program answer.
inline bool RealClick(const QWidget& w, QPoint at, int button = 1) {
  const QPoint g = w.mapToGlobal(at);
  // A synchronous move waits for the pointer to move: not when it is already there.
  const bool ok =
      (QCursor::pos() == g || Xdotool({"mousemove", "--sync", QString::number(g.x()), QString::number(g.y())})) &&
      Xdotool({"click", QString::number(button)});
  Settle();
  return ok;
}

// Clicks the middle of the widget.
inline bool RealClick(const QWidget& w) { return RealClick(w, w.rect().center()); }

// Presses and releases KEYS (xdotool's names: "space", "Escape", "F1", "ctrl+s", "d") on the
// window that has the keyboard focus, as a keyboard does.
inline bool RealKey(const QString& keys) {
  const bool ok = Xdotool({"key", "--clearmodifiers", keys});
  Settle();
  return ok;
}

// Presses KEYS once WINDOW has the keyboard: the window manager gives a new window the focus a
// moment after it maps it, later still on a busy machine.
inline bool RealKeyOn(const QWidget& window, const QString& keys) {
  WaitFor([&] { return QApplication::activeWindow() == window.window(); }, 5000);
  return RealKey(keys);
}
