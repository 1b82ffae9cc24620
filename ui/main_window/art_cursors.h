#pragma once
#include <QCursor>

#include <map>
#include <string>

// The program's own cursors, made once from the compiled-in artwork with their hot spots.
class TArtCursors {
 public:
  // The cursor of that resource name; the stock shape when the artwork is missing or unreadable.
  QCursor Get(const std::string& name, Qt::CursorShape fallback);

 private:
  std::map<std::string, QCursor> made_;
};
