#pragma once
// The one message-box function every caller uses. The window library installs
// a handler that shows a real box; tests install a MessageBoxRecorder that
// answers at once, so no modal box ever blocks a test. Without any handler the
// box is written to standard error and answered with its default button.
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace kanzo::platform {

enum class MessageBoxIcon { None, Information, Warning, Error, Question };
enum class MessageBoxButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageBoxResult { Ok, Cancel, Yes, No };

struct MessageBoxRequest {
  std::string caption;  // narrow text
  std::string text;     // narrow text
  MessageBoxIcon icon = MessageBoxIcon::None;
  MessageBoxButtons buttons = MessageBoxButtons::Ok;
};

using MessageBoxHandler = std::function<MessageBoxResult(const MessageBoxRequest&)>;

// Shows a modal box and returns the button chosen.
MessageBoxResult ShowMessageBox(const std::string& caption, const std::string& text,
                                MessageBoxIcon icon = MessageBoxIcon::None,
                                MessageBoxButtons buttons = MessageBoxButtons::Ok);

// Installs a handler; returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The answer a box gets when nobody can click: the first button.
MessageBoxResult DefaultAnswer(MessageBoxButtons buttons);

// Records every box and answers from a queue (then with `fallback`).
// Installs itself on construction and restores the previous handler on
// destruction.
class MessageBoxRecorder {
 public:
  explicit MessageBoxRecorder(MessageBoxResult fallback = MessageBoxResult::Ok);
  ~MessageBoxRecorder();
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  void QueueAnswer(MessageBoxResult answer);
  std::vector<MessageBoxRequest> Boxes() const;
  std::size_t Count() const;

 private:
  mutable std::mutex mutex_;
  std::vector<MessageBoxRequest> boxes_;
  std::vector<MessageBoxResult> answers_;
  MessageBoxResult fallback_;
  MessageBoxHandler previous_;
};

}  // namespace kanzo::platform
