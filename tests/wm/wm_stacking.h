#pragma once
// What the window manager says about its windows: the stacking order it keeps, bottom first.
#include <QProcess>
#include <QRegularExpression>
#include <QWidget>

#include <vector>

// The managed client windows, bottom to top, as the window manager publishes them.
inline std::vector<WId> StackedWindows() {
  QProcess xprop;
  xprop.start("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"});
  std::vector<WId> ids;
  if (!xprop.waitForFinished(5000)) return ids;
  const QString out = QString::fromLatin1(xprop.readAllStandardOutput());
  QRegularExpressionMatchIterator it = QRegularExpression("0x[0-9a-fA-F]+").globalMatch(out);
  while (it.hasNext()) ids.push_back(WId(it.next().captured(0).toULongLong(nullptr, 16)));
  return ids;
}

// Where the widget's window stands in the stacking order; -1 when it is not managed (not
// mapped).
inline int StackPosition(const QWidget& w) {
  const std::vector<WId> ids = StackedWindows();
  for (size_t i = 0; i < ids.size(); ++i)
    if (ids[i] == w.window()->winId()) return int(i);
  return -1;
}

// True when the widget's window is the topmost the window manager manages.
inline bool OnTop(const QWidget& w) {
  const std::vector<WId> ids = StackedWindows();
  return !ids.empty() && ids.back() == w.window()->winId();
}
