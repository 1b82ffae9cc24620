#include "platform/desktop.h"

#include <QDesktopServices>
#include <QUrl>

namespace {
std::function<void(const std::string&)>& Handler() {
  static std::function<void(const std::string&)> handler;
  return handler;
}
}  // namespace

void OpenWithDesktop(const std::string& target) {
  if (Handler()) {
    Handler()(target);
    return;
  }
  const QString text = QString::fromStdString(target);
  QDesktopServices::openUrl(target.rfind('/', 0) == 0 ? QUrl::fromLocalFile(text) : QUrl(text));
}

void SetDesktopOpenHandler(std::function<void(const std::string&)> handler) { Handler() = std::move(handler); }
