#include "ui/main_window/held_input.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

namespace {

// Enough for a click-and-drag held through a long cut; moves in a row count as one.
constexpr size_t kMaxHeld = 256;

}  // namespace

bool THeldInput::Hold(QObject* target, const QEvent& event) {
  if (&event == delivering_) return false;  // handed on now
  if (!busy_() && !replaying_) Replay();
  if (!busy_() && !replaying_ && held_.empty()) return false;
  if (event.type() == QEvent::MouseMove && !held_.empty() && held_.back().Target == target &&
      held_.back().Event->type() == QEvent::MouseMove) {
    held_.back().Event.reset(event.clone());  // only where the pointer went counts
  } else if (held_.size() < kMaxHeld) {
    held_.push_back({target, std::unique_ptr<QEvent>(event.clone())});
  }
  return true;
}

void THeldInput::OperationEnded() {
  if (!held_.empty()) QTimer::singleShot(0, context_, [this] { Replay(); });
}

void THeldInput::Replay() {
  if (replaying_) return;
  replaying_ = true;
  while (!held_.empty() && !busy_()) {
    // Input for the game is stale once a dialog has come up over the game: it took the input.
    if (QApplication::activeModalWidget()) {
      held_.clear();
      break;
    }
    TEntry next = std::move(held_.front());
    held_.pop_front();
    // What comes meanwhile queues behind; an operation started here hands on when it ends.
    delivering_ = next.Event.get();
    if (next.Target) QCoreApplication::sendEvent(next.Target, next.Event.get());
    delivering_ = nullptr;
  }
  replaying_ = false;
}
