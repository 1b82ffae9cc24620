#pragma once
// What a label or group box shows, as the accessibility layer reads it to the player: markup
// that Qt renders is gone from it, and so is a shortcut's '&'.
#include <QAccessible>
#include <QWidget>

#include <string>

inline std::string ShownText(QWidget* w) {
  QAccessibleInterface* a = w ? QAccessible::queryAccessibleInterface(w) : nullptr;
  return a ? a->text(QAccessible::Name).toStdString() : std::string("(no widget)");
}
