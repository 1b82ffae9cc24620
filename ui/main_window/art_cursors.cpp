#include "ui/main_window/art_cursors.h"

#include <QPixmap>

#include <cstdint>
#include <vector>

#include "foundation/artwork.h"
#include "platform/resources.h"

QCursor TArtCursors::Get(const std::string& name, Qt::CursorShape fallback) {
  if (auto it = made_.find(name); it != made_.end()) return it->second;
  const TCursorArt* art = FindCursorArt(name);
  std::vector<uint8_t> bytes;
  QPixmap pixmap;
  // A missing picture is not cached: the stock shape stands in, as it would for any caller.
  if (!art || !ReadNamedProgramResource(kCursorResourceKind, name, bytes) ||
      !pixmap.loadFromData(bytes.data(), uint(bytes.size()), "PNG"))
    return QCursor(fallback);
  return made_.emplace(name, QCursor(pixmap, art->HotX, art->HotY)).first->second;
}
