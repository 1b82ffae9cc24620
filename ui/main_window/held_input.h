#pragma once
#include <QEvent>
#include <QPointer>
#include <deque>
#include <functional>
#include <memory>

class QObject;

// The player's clicks, moves and keys that come while a long operation shows its progress.
// The operation pumps events to paint its panel, so they reach the handlers then; handled there
// they would meet the busy guard and be lost (a press lost so leaves the drag that follows it
// without a piece). They are held instead and handed on in their order once the work is done.
class THeldInput {
 public:
  // busy: whether a long operation runs now; context: what the hand-on timer lives with.
  THeldInput(QObject* context, std::function<bool()> busy) : context_(context), busy_(std::move(busy)) {}
  // True when the event was held (the handler stops there): during a long operation, and while
  // earlier input still waits, so that nothing overtakes it.
  bool Hold(QObject* target, const QEvent& event);
  // The long operation ended: what was held is handed on from the event loop.
  void OperationEnded();
  size_t Count() const { return held_.size(); }

 private:
  void Replay();

  struct TEntry {
    QPointer<QObject> Target;
    std::unique_ptr<QEvent> Event;
  };
  QObject* context_;
  std::function<bool()> busy_;
  std::deque<TEntry> held_;
  bool replaying_ = false;
  const QEvent* delivering_ = nullptr;
};
