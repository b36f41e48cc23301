#include "platform/qt/qt_ui_loop.h"

#include <QCoreApplication>
#include <QEvent>

namespace kanzo::platform {
namespace {

const QEvent::Type kTaskEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class TaskEvent final : public QEvent {
 public:
  explicit TaskEvent(std::function<void()> task) : QEvent(kTaskEvent), task_(std::move(task)) {}
  void Run() { task_(); }

 private:
  std::function<void()> task_;
};

}  // namespace

QtUiLoop::QtUiLoop() { SetUiLoop(this); }

QtUiLoop::~QtUiLoop() {
  SetUiLoop(nullptr);
  // Events still queued are deleted with their tasks, which frees payloads.
  QCoreApplication::removePostedEvents(this, kTaskEvent);
}

void QtUiLoop::Post(std::function<void()> task) { QCoreApplication::postEvent(this, new TaskEvent(std::move(task))); }

void QtUiLoop::customEvent(QEvent* event) {
  if (event->type() == kTaskEvent) static_cast<TaskEvent*>(event)->Run();
}

}  // namespace kanzo::platform
