#include "platform/message_box.h"

#include <cstdio>

#include "platform/narrow_text.h"

namespace kanzo::platform {
namespace {

std::mutex gHandlerMutex;
MessageBoxHandler gHandler;

}  // namespace

MessageBoxResult DefaultAnswer(MessageBoxButtons buttons) {
  switch (buttons) {
    case MessageBoxButtons::Ok:
    case MessageBoxButtons::OkCancel: return MessageBoxResult::Ok;
    case MessageBoxButtons::YesNo:
    case MessageBoxButtons::YesNoCancel: return MessageBoxResult::Yes;
  }
  return MessageBoxResult::Ok;
}

MessageBoxResult ShowMessageBox(const std::string& caption, const std::string& text, MessageBoxIcon icon,
                                MessageBoxButtons buttons) {
  MessageBoxHandler handler;
  {
    std::lock_guard lock(gHandlerMutex);
    handler = gHandler;
  }
  const MessageBoxRequest request{caption, text, icon, buttons};
  if (handler) return handler(request);
  std::fprintf(stderr, "[%s] %s\n", NarrowToUtf8(caption).c_str(), NarrowToUtf8(text).c_str());
  return DefaultAnswer(buttons);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  std::lock_guard lock(gHandlerMutex);
  std::swap(gHandler, handler);
  return handler;
}

MessageBoxRecorder::MessageBoxRecorder(MessageBoxResult fallback) : fallback_(fallback) {
  previous_ = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
    std::lock_guard lock(mutex_);
    boxes_.push_back(request);
    if (answers_.empty()) return fallback_;
    const MessageBoxResult answer = answers_.front();
    answers_.erase(answers_.begin());
    return answer;
  });
}

MessageBoxRecorder::~MessageBoxRecorder() { SetMessageBoxHandler(std::move(previous_)); }

void MessageBoxRecorder::QueueAnswer(MessageBoxResult answer) {
  std::lock_guard lock(mutex_);
  answers_.push_back(answer);
}

std::vector<MessageBoxRequest> MessageBoxRecorder::Boxes() const {
  std::lock_guard lock(mutex_);
  return boxes_;
}

std::size_t MessageBoxRecorder::Count() const {
  std::lock_guard lock(mutex_);
  return boxes_.size();
}

}  // namespace kanzo::platform
