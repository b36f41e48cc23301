#include "net/socket_client.h"

#include <arpa/inet.h>
#include <signal.h>
#include <sys/socket.h>

#include <cassert>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "log/cx_log.h"
#include "net/frame_format.h"

namespace kanzo {
namespace {

constexpr std::size_t kWakeDrainBytes = 1024;
constexpr int kMillisPerSecond = 1000;
constexpr int kMicrosPerMilli = 1000;

evbuffer* FrameBytes(const OutgoingFrame& frame) { return frame->buffer(); }

timeval Interval(int ms) { return timeval{ms / kMillisPerSecond, (ms % kMillisPerSecond) * kMicrosPerMilli}; }

std::int64_t MonotonicMillis() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

SocketClient::SocketClient() : SocketClient(Deadlines{}) {}

SocketClient::SocketClient(const Deadlines& deadlines) : deadlines_(deadlines) {}

SocketClient::~SocketClient() { shutdown(); }

bool SocketClient::connect(const std::string& host, std::uint16_t port) {
  KLOG_DEBUG("Socket %p connect", static_cast<void*>(this));
  Command command{CommandKind::kConnect, {}, nullptr};
  command.address.sin_family = AF_INET;
  command.address.sin_port = htons(port);
  if (inet_pton(AF_INET, host.c_str(), &command.address.sin_addr) != 1) {
    KLOG_ERROR("服务器地址无效：[%s]", host.c_str());
    return false;
  }
  state_.store(kConnecting);
  if (!post(std::move(command))) return false;
  if (!running() && !start()) {
    KLOG_ERROR("网络线程启动失败");
    return false;
  }
  return true;
}

bool SocketClient::write(OutgoingFrame frame) {
  KLOG_DEBUG("Socket %p write", static_cast<void*>(this));
  return post(Command{CommandKind::kWrite, {}, std::move(frame)});
}

void SocketClient::exit() {
  KLOG_DEBUG("Socket %p exit", static_cast<void*>(this));
  state_.store(kClosed);
  post(Command{CommandKind::kExit, {}, nullptr});
}

void SocketClient::shutdown() {
  exit();
  join();
  // Also when the thread never ran: nothing is accepted any more, and what
  // was queued is freed here.
  std::deque<Command> left;
  ThreadMutexLock lock(commandMutex_);
  stopped_ = true;
  left.swap(commands_);
}

bool SocketClient::post(Command command) {
  ThreadMutexLock lock(commandMutex_);
  if (stopped_) return false;  // the command, and any frame in it, is freed here
  commands_.push_back(std::move(command));
  if (wakeWriter_ >= 0) {
    // A full pair needs no more bytes: the loop is woken already.
    const char zero = 0;
    (void)::send(wakeWriter_, &zero, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
  }
  return true;
}

void SocketClient::run() {
  std::uint16_t created = kCreated;
  state_.compare_exchange_strong(created, kInitialising);
  // A write to a connection the server has reset must fail with EPIPE, not
  // end the process: the signal stays blocked (and pending) on this thread.
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
  KLOG_DEBUG("Socket %p init", static_cast<void*>(this));
  bool ready;
  {
    ThreadMutexLock loopLock(*this);
    ready = setUpLoop();
  }
  {
    // From here on commands reach the loop; those queued before are run at once.
    ThreadMutexLock lock(commandMutex_);
    if (ready) {
      wakeWriter_ = wakeWriterFd_.get();
      if (!commands_.empty()) event_active(wakeEvent_.get(), EV_READ, 0);
    } else {
      stopped_ = true;
    }
  }
  if (ready) {
    KLOG_DEBUG("Socket %p begin look", static_cast<void*>(this));
    event_base_dispatch(base_.get());
  }
  std::deque<Command> left;
  {
    ThreadMutexLock lock(commandMutex_);
    wakeWriter_ = -1;
    stopped_ = true;
    left.swap(commands_);
  }
  std::size_t dropped = writeQueue_.size();
  for (const Command& command : left) {
    if (command.frame) ++dropped;
  }
  if (dropped > 0) KLOG_WARN("网络线程结束，%zu个数据帧未能发出，已丢弃", dropped);
  droppedAtExit_.store(dropped);
  left.clear();
  {
    ThreadMutexLock loopLock(*this);
    tearDownLoop();
  }
  stopped();
}

bool SocketClient::setUpLoop() {
  base_.reset(event_base_new());
  if (!base_) {
    KLOG_ERROR("创建事件循环失败");
    return false;
  }
  // Close-on-exec: a program started later (the updater, a restart) must
  // not hold the pair.
  int pair[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pair) == -1) {
    KLOG_ERROR("创建唤醒套接字失败：%s", std::strerror(errno));
    base_.reset();
    return false;
  }
  wakeReaderFd_.reset(pair[0]);
  wakeWriterFd_.reset(pair[1]);
  wakeEvent_.reset(event_new(base_.get(), wakeReaderFd_.get(), EV_READ | EV_PERSIST, &SocketClient::onWakeUp, this));
  reconnectTimer_.reset(evtimer_new(base_.get(), &SocketClient::onReconnectTimer, this));
  connectTimer_.reset(evtimer_new(base_.get(), &SocketClient::onConnectTimer, this));
  silenceTimer_.reset(evtimer_new(base_.get(), &SocketClient::onSilenceTimer, this));
  drainTimer_.reset(evtimer_new(base_.get(), &SocketClient::onDrainTimer, this));
  if (!wakeEvent_ || !reconnectTimer_ || !connectTimer_ || !silenceTimer_ || !drainTimer_ ||
      event_add(wakeEvent_.get(), nullptr) != 0) {
    KLOG_ERROR("创建唤醒事件失败");
    tearDownLoop();
    return false;
  }
  return true;
}

void SocketClient::tearDownLoop() {
  connection_.reset();
  socket_ = 0;
  connected_ = false;
  inFlight_ = false;
  writeQueue_.clear();
  drainTimer_.reset();
  silenceTimer_.reset();
  connectTimer_.reset();
  reconnectTimer_.reset();
  wakeEvent_.reset();
  base_.reset();
  wakeReaderFd_.reset();
  wakeWriterFd_.reset();
}

void SocketClient::onWakeUp(evutil_socket_t fd, short /*what*/, void* self) {
  char discard[kWakeDrainBytes];
  while (::recv(fd, discard, sizeof discard, MSG_DONTWAIT) > 0) {
  }
  static_cast<SocketClient*>(self)->runCommands();
}

void SocketClient::runCommands() {
  assert(isCurrentThread());
  std::deque<Command> batch;
  {
    ThreadMutexLock lock(commandMutex_);
    batch.swap(commands_);
  }
  for (Command& command : batch) {
    if (exiting_) break;  // what is left is freed with the batch
    switch (command.kind) {
      case CommandKind::kConnect:
        address_ = command.address;
        haveAddress_ = true;
        openConnection();
        break;
      case CommandKind::kClose:
        KLOG_DEBUG("Socket %p _close", static_cast<void*>(this));
        closeConnection();
        break;
      case CommandKind::kExit:
        KLOG_DEBUG("Socket %p _exit", static_cast<void*>(this));
        exiting_ = true;
        event_del(reconnectTimer_.get());
        if (connection_ && !writeQueue_.empty()) {
          // What is queued (a logout, a last message) gets a moment to go out.
          const timeval drain = Interval(deadlines_.drainMs);
          event_add(drainTimer_.get(), &drain);
        } else {
          finishExit();
        }
        break;
      case CommandKind::kWrite:
        KLOG_DEBUG("Socket %p _write", static_cast<void*>(this));
        if (command.frame) writeQueue_.push_back(std::move(command.frame));
        flush();
        break;
    }
  }
}

void SocketClient::resetConnectionState() {
  event_del(connectTimer_.get());
  event_del(silenceTimer_.get());
  awaitingSinceMs_ = -1;
  connection_.reset();
  socket_ = 0;
  connected_ = false;
  // The frame in flight is still whole at the head of the queue; the next
  // connection sends it from its first byte.
  inFlight_ = false;
}

void SocketClient::openConnection() {
  KLOG_DEBUG("Socket %p _connect", static_cast<void*>(this));
  event_del(reconnectTimer_.get());
  resetConnectionState();
  connectAttempts_.fetch_add(1);

  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    KLOG_ERROR("创建套接字失败：%s", std::strerror(errno));
    state_.store(kBroken);
    scheduleReconnect();
    return;
  }
  evutil_make_socket_nonblocking(fd);
  BufferEventPtr bev(bufferevent_socket_new(base_.get(), fd, BEV_OPT_CLOSE_ON_FREE));
  if (!bev) {
    ::close(fd);
    KLOG_ERROR("创建连接对象失败");
    state_.store(kBroken);
    scheduleReconnect();
    return;
  }
  bufferevent_setcb(bev.get(), &SocketClient::onReadable, &SocketClient::onWritten, &SocketClient::onEvent, this);
  bufferevent_enable(bev.get(), EV_READ | EV_WRITE);
  bufferevent_setwatermark(bev.get(), EV_READ, 0, kReadHighWater);
  // libevent reads 4 KiB per turn by default: a burst of small frames would
  // cost one loop turn per few messages.
  bufferevent_set_max_single_read(bev.get(), kMaxSingleRead);
  const timeval writeTimeout = Interval(deadlines_.writeMs);
  bufferevent_set_timeouts(bev.get(), nullptr, &writeTimeout);

  state_.store(kConnecting);
  if (bufferevent_socket_connect(bev.get(), reinterpret_cast<sockaddr*>(&address_), sizeof address_) < 0) {
    // Freeing the connection closes the socket; try again like any failure.
    KLOG_WARN("连接服务器失败：%s", std::strerror(errno));
    state_.store(kBroken);
    scheduleReconnect();
    return;
  }
  connection_ = std::move(bev);
  socket_ = fd;
  const timeval connectTimeout = Interval(deadlines_.connectMs);
  event_add(connectTimer_.get(), &connectTimeout);
}

void SocketClient::closeConnection() {
  event_del(reconnectTimer_.get());
  const bool hadConnection = connection_ != nullptr;
  resetConnectionState();
  state_.store(kClosed);
  if (hadConnection) onConnectionLost();
}

void SocketClient::connectionBroken() {
  state_.store(kBroken);
  resetConnectionState();
  onConnectionLost();
  if (exiting_) {
    finishExit();
    return;
  }
  scheduleReconnect();
}

void SocketClient::finishExit() {
  event_del(drainTimer_.get());
  if (!writeQueue_.empty()) KLOG_WARN("退出前未能发出%zu个数据帧", writeQueue_.size());
  closeConnection();
  event_base_loopexit(base_.get(), nullptr);
}

void SocketClient::awaitAnswer() {
  if (awaitingSinceMs_ >= 0) return;
  awaitingSinceMs_ = MonotonicMillis();
  if (!event_pending(silenceTimer_.get(), EV_TIMEOUT, nullptr)) {
    const timeval silence = Interval(deadlines_.silenceMs);
    event_add(silenceTimer_.get(), &silence);
  }
}

void SocketClient::onConnectTimer(evutil_socket_t /*fd*/, short /*what*/, void* self) {
  auto* client = static_cast<SocketClient*>(self);
  if (!client->connection_ || client->connected_) return;
  KLOG_WARN("连接服务器超时（%d毫秒未完成），放弃这次连接并重试", client->deadlines_.connectMs);
  client->connectionBroken();
}

void SocketClient::onSilenceTimer(evutil_socket_t /*fd*/, short /*what*/, void* self) {
  auto* client = static_cast<SocketClient*>(self);
  if (!client->connection_ || client->awaitingSinceMs_ < 0) return;
  const std::int64_t waited = MonotonicMillis() - client->awaitingSinceMs_;
  if (waited < client->deadlines_.silenceMs) {
    // A read reset the wait since the timer was set; wait the rest.
    const timeval rest = Interval(static_cast<int>(client->deadlines_.silenceMs - waited));
    event_add(client->silenceTimer_.get(), &rest);
    return;
  }
  KLOG_WARN("已有%lld毫秒没有收到服务器的任何数据，连接已失效，断开并重新连接", static_cast<long long>(waited));
  client->connectionBroken();
}

void SocketClient::onDrainTimer(evutil_socket_t /*fd*/, short /*what*/, void* self) {
  static_cast<SocketClient*>(self)->finishExit();
}

void SocketClient::dropConnection() {
  assert(isCurrentThread());
  if (connection_) connectionBroken();
}

void SocketClient::scheduleReconnect() {
  if (exiting_ || !haveAddress_ || !reconnectTimer_) return;
  KLOG_DEBUG("Socket %p _reconnect", static_cast<void*>(this));
  // A timer, not a sleep: commands and exit are still served during the pause.
  const timeval delay = Interval(deadlines_.reconnectMs);
  event_add(reconnectTimer_.get(), &delay);
}

void SocketClient::onReconnectTimer(evutil_socket_t /*fd*/, short /*what*/, void* self) {
  static_cast<SocketClient*>(self)->openConnection();
}

void SocketClient::onReadable(bufferevent* bev, void* self) {
  auto* client = static_cast<SocketClient*>(self);
  KLOG_DEBUG("Socket read handler %p", self);
  // Any byte shows the server alive: nothing is awaited any more.
  client->awaitingSinceMs_ = -1;
  client->onRead(bufferevent_get_input(bev));
}

void SocketClient::onWritten(bufferevent* bev, void* self) {
  auto* client = static_cast<SocketClient*>(self);
  KLOG_DEBUG("Socdket write handler %p", self);
  if (evbuffer_get_length(bufferevent_get_output(bev)) > 0 || !client->inFlight_) return;
  KLOG_DEBUG("Socket %p writed", self);
  client->inFlight_ = false;
  client->state_.store(kConnected);
  client->writeQueue_.pop_front();
  client->awaitAnswer();
  if (client->exiting_ && client->writeQueue_.empty()) {
    client->finishExit();
    return;
  }
  client->flush();
}

void SocketClient::onEvent(bufferevent* /*bev*/, short what, void* self) {
  auto* client = static_cast<SocketClient*>(self);
  KLOG_DEBUG("Socket what:%d", what);
  if (what & BEV_EVENT_CONNECTED) {
    KLOG_INFO("连接服务器成功");
    event_del(client->connectTimer_.get());
    client->connected_ = true;
    client->state_.store(kConnected);
    client->flush();
    return;
  }
  if (what & (BEV_EVENT_EOF | BEV_EVENT_ERROR | BEV_EVENT_TIMEOUT)) {
    const int error = errno;
    KLOG_WARN("与服务器的连接中断：what=%d %s", what, std::strerror(error));
    client->connectionBroken();
    KLOG_DEBUG("connect error %x", error);
  }
}

void SocketClient::flush() {
  KLOG_DEBUG("Socket %p _flushBuffers", static_cast<void*>(this));
  if (!connection_ || !connected_ || inFlight_ || writeQueue_.empty()) return;
  KLOG_DEBUG("Socket %p _writeBuffer", static_cast<void*>(this));
  state_.store(kWriting);
  inFlight_ = true;
  evbuffer* output = bufferevent_get_output(connection_.get());
  evbuffer* head = FrameBytes(writeQueue_.front());
  // The output refers to the frame's bytes instead of taking them, so the
  // frame stays whole in the queue until it has been written completely.
  if (evbuffer_add_buffer_reference(output, head) != 0) {
    const auto length = evbuffer_get_length(head);
    evbuffer_add(output, evbuffer_pullup(head, -1), length);
  }
}

}  // namespace kanzo
