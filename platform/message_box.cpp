#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace {
TMessageBoxHandler& Handler() {
  static TMessageBoxHandler handler;
  return handler;
}
}  // namespace

void SetMessageBoxHandler(TMessageBoxHandler handler) { Handler() = std::move(handler); }

int ShowMessageBox(const std::string& text, const std::string& caption, int flags) {
  if (Handler()) return Handler()(text, caption, flags);
  const int buttons = flags & 0x0F;
  const int icon = flags & 0xF0;
  if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
    return buttons == kMbYesNo ? kIdNo : (buttons == kMbOkCancel || buttons == kMbYesNoCancel ? kIdCancel : kIdOk);
  QMessageBox box(icon == kMbIconExclamation ? QMessageBox::Warning
                  : icon == kMbIconQuestion  ? QMessageBox::Question
                                             : QMessageBox::NoIcon,
                  QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::NoButton,
                  QApplication::activeWindow());
  // Texts carry names, titles and status lines from outside: never markup, never a link.
  box.setTextFormat(Qt::PlainText);
  if (buttons == kMbYesNo || buttons == kMbYesNoCancel) {
    box.addButton(QMessageBox::Yes);
    box.addButton(QMessageBox::No);
    if (buttons == kMbYesNoCancel) box.addButton(QMessageBox::Cancel);
  } else if (buttons == kMbOkCancel) {
    box.addButton(QMessageBox::Ok);
    box.addButton(QMessageBox::Cancel);
  } else {
    box.addButton(QMessageBox::Ok);
  }
  switch (box.exec()) {
    case QMessageBox::Yes: return kIdYes;
    case QMessageBox::No: return kIdNo;
    case QMessageBox::Cancel: return kIdCancel;
    default: return buttons == kMbYesNo ? kIdNo : buttons == kMbYesNoCancel ? kIdCancel : kIdOk;
  }
}
