#pragma once
// The user-interface loop of the program: posted work runs in the Qt event
// loop of the thread that made this object, in the order it was posted.
#include <QObject>

#include "platform/window_message.h"

namespace kanzo::platform {

class QtUiLoop final : public QObject, public UiLoop {
  Q_OBJECT
 public:
  // Installs itself as the process's user-interface loop.
  QtUiLoop();
  ~QtUiLoop() override;
  void Post(std::function<void()> task) override;

 protected:
  void customEvent(QEvent* event) override;
};

}  // namespace kanzo::platform
