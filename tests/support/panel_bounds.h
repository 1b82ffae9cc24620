#pragma once
// Named controls that stick out of the named widget holding them: what the player would see cut
// off at a panel's edge. Qt's own inner widgets (unnamed or "qt_") are left out.
#include <QWidget>

#include <string>
#include <vector>

inline std::vector<std::string> ControlsOutsideTheirPanels(const QWidget* root) {
  std::vector<std::string> out;
  for (const QWidget* w : root->findChildren<QWidget*>()) {
    const QWidget* parent = w->parentWidget();
    if (!parent || w->isWindow() || parent->objectName().isEmpty() || parent->objectName().startsWith("qt_")) continue;
    const QString name = w->objectName();
    if (name.isEmpty() || name.startsWith("qt_")) continue;
    if (parent->rect().contains(w->geometry())) continue;
    const QRect g = w->geometry();
    out.push_back(name.toStdString() + " at " + std::to_string(g.x()) + "," + std::to_string(g.y()) + " " +
                  std::to_string(g.width()) + "x" + std::to_string(g.height()) + " in " +
                  parent->objectName().toStdString() + " " + std::to_string(parent->width()) + "x" +
                  std::to_string(parent->height()));
  }
  return out;
}
