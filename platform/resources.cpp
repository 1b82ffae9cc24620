#include "platform/resources.h"

#include <QDir>
#include <QFile>

bool ReadResourceBelow(const std::string& root, const std::string& kind, int32_t id,
                       std::vector<uint8_t>& out) {
  out.clear();
  const QDir dir(QString::fromStdString(root + "/" + kind));
  const QString base = QString::number(id);
  // The exact name first, then the one file whose name is the id with an extension.
  QString path = dir.filePath(base);
  if (!QFileInfo(path).isFile()) {
    const QStringList matches = dir.entryList({base + ".*"}, QDir::Files, QDir::Name);
    if (matches.size() != 1) return false;
    path = dir.filePath(matches.front());
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = file.readAll();
  out.assign(bytes.begin(), bytes.end());
  return true;
}

bool ReadProgramResource(const std::string& kind, int32_t id, std::vector<uint8_t>& out) {
  return ReadResourceBelow(":", kind, id, out);
}

bool ReadResourceFile(const std::string& path, std::vector<uint8_t>& out) {
  out.clear();
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = file.readAll();
  out.assign(bytes.begin(), bytes.end());
  return true;
}
