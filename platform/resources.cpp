#include "platform/resources.h"

#include <QDir>
#include <QFile>

namespace {

// A name that stays one file inside its kind's folder and matches only itself as a pattern.
bool PlainName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of("/\\*?[]") == std::string::npos && name.find('\0') == std::string::npos;
}

}  // namespace

bool ReadNamedResourceBelow(const std::string& root, const std::string& kind, const std::string& name,
                            std::vector<uint8_t>& out) {
  out.clear();
  if (!PlainName(kind) || !PlainName(name)) return false;
  const QDir dir(QString::fromStdString(root + "/" + kind));
  const QString base = QString::fromStdString(name);
  // The exact name first, then the one file whose name is the name with an extension.
  QString path = dir.filePath(base);
  if (!QFileInfo(path).isFile()) {
    const QStringList matches = dir.entryList({base + ".*"}, QDir::Files, QDir::Name);
    if (matches.size() != 1) return false;
    path = dir.filePath(matches.front());
  }
  return ReadResourceFile(path.toStdString(), out);
}

bool ReadResourceBelow(const std::string& root, const std::string& kind, int32_t id, std::vector<uint8_t>& out) {
  return ReadNamedResourceBelow(root, kind, std::to_string(id), out);
}

bool ReadProgramResource(const std::string& kind, int32_t id, std::vector<uint8_t>& out) {
  return ReadResourceBelow(":", kind, id, out);
}

bool ReadNamedProgramResource(const std::string& kind, const std::string& name, std::vector<uint8_t>& out) {
  return ReadNamedResourceBelow(":", kind, name, out);
}

bool ReadResourceFile(const std::string& path, std::vector<uint8_t>& out) {
  out.clear();
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = file.readAll();
  out.assign(bytes.begin(), bytes.end());
  return true;
}
