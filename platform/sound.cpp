#include "platform/sound.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>
#include <map>

namespace {
std::function<void(const std::string&)>& Sink() {
  static std::function<void(const std::string&)> sink;
  return sink;
}

// Effects are kept and reused: QSoundEffect plays asynchronously and must outlive the call.
// The application owns them, so they go before it does.
QSoundEffect* EffectFor(const QUrl& url) {
  static std::map<QString, QPointer<QSoundEffect>> effects;
  auto& effect = effects[url.toString()];
  if (!effect) {
    effect = new QSoundEffect(QCoreApplication::instance());
    effect->setSource(url);
  }
  return effect.data();
}
}  // namespace

void SetSoundSink(std::function<void(const std::string&)> sink) { Sink() = std::move(sink); }

void PlaySoundFile(const std::string& path, bool allowDefault) {
  const QString file = QString::fromStdString(path);
  const bool exists = QFileInfo(file).isFile();
  if (!exists && !allowDefault) return;
  const std::string played = exists ? path : std::string(":default");
  if (Sink()) {
    Sink()(played);
    return;
  }
  if (!QCoreApplication::instance()) return;
  const QUrl url = exists ? QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()) : QUrl("qrc:/sound/default.wav");
  QSoundEffect* effect = EffectFor(url);
  effect->stop();
  effect->play();
}
