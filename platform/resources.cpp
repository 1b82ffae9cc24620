#include "platform/resources.h"

#include <QFile>

std::string ProgramResourcePath(const std::string& kind, int32_t id) {
  return ":/" + kind + "/" + std::to_string(id);
}

bool ReadProgramResource(const std::string& kind, int32_t id, std::vector<uint8_t>& out) {
  out.clear();
  QFile file(QString::fromStdString(ProgramResourcePath(kind, id)));
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = file.readAll();
  out.assign(bytes.begin(), bytes.end());
  return true;
}
