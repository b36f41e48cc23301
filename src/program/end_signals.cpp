#include "program/end_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

#include "log/cx_log.h"

namespace kanzo {
namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGINT};
constexpr int kNoFd = -1;

// One process-wide pipe: a signal handler can reach nothing else. The ends
// stay open until the process ends, so that a signal arriving while the
// handlers are being restored never writes to a reused descriptor.
int gPipeRead = kNoFd;
int gPipeWrite = kNoFd;

extern "C" void OnEndSignal(int signalNumber) {
  const int savedErrno = errno;
  const unsigned char byte = static_cast<unsigned char>(signalNumber);
  // A full pipe already holds a wake-up; losing this byte loses nothing.
  [[maybe_unused]] const ssize_t written = ::write(gPipeWrite, &byte, sizeof byte);
  errno = savedErrno;
}

bool MakePipe() {
  if (gPipeRead != kNoFd) return true;
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  gPipeRead = fds[0];
  gPipeWrite = fds[1];
  return true;
}

void SetDisposition(int signalNumber, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(signalNumber, &action, nullptr);
}

}  // namespace

EndSignals::EndSignals() = default;

EndSignals::~EndSignals() {
  if (!installed_) return;
  for (const int signalNumber : kEndSignals) SetDisposition(signalNumber, SIG_DFL);
}

bool EndSignals::Install(Handler handler) {
  if (!MakePipe()) {
    KLOG_ERROR("结束信号管道创建失败：errno %d", errno);
    return false;
  }
  handler_ = std::move(handler);
  notifier_ = std::make_unique<QSocketNotifier>(gPipeRead, QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { OnReadable(); });
  for (const int signalNumber : kEndSignals) SetDisposition(signalNumber, OnEndSignal);
  installed_ = true;
  return true;
}

void EndSignals::EndByDefault(int signalNumber) {
  SetDisposition(signalNumber, SIG_DFL);
  std::raise(signalNumber);
}

void EndSignals::OnReadable() {
  unsigned char byte = 0;
  // Several signals may be waiting; each is handled in turn.
  while (::read(gPipeRead, &byte, sizeof byte) == static_cast<ssize_t>(sizeof byte)) {
    KLOG_INFO("收到结束信号 %d", static_cast<int>(byte));
    if (handler_) handler_(byte);
  }
}

}  // namespace kanzo
