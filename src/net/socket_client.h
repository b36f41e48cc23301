#pragma once
// The one TCP connection to the chat server. It lives on a network thread
// of its own that runs a libevent loop; every socket operation happens
// there. Other threads only append commands to a locked queue and wake the
// loop through a local socket pair.
//
// Frames handed to write() go out whole and in order, one at a time; the
// write queue survives broken connections, and a frame that was in flight
// when the connection broke is sent again from its first byte on the next
// connection. A broken or refused connection is retried every second.
//
// A connection can die without a word (a changed network, a dropped NAT
// entry, a server that hangs): when nothing at all has been read for a
// while although a frame went out after the last read, the connection is
// given up and a new one made; so is a connect attempt that does not
// complete in time. At exit the queue gets a bounded moment to drain, and
// what could not go out is logged.
#include <netinet/in.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "net/event_handles.h"
#include "net/thread.h"
#include "protocol/buffer.h"

namespace kanzo {

// What write() takes: the bytes of one whole frame.
using OutgoingFrame = std::unique_ptr<Buffer>;

// Base is the loop lock: it guards creating and freeing the loop objects.
class SocketClient : public Thread, protected ThreadMutex {
 public:
  enum State : std::uint16_t {
    kCreated = 0,
    kInitialising = 1,
    kConnecting = 2,
    kConnected = 3,
    kBroken = 4,
    kClosed = 6,
    kWriting = 7,
  };

  static constexpr int kReconnectDelayMs = 1000;

  // Limits of one connection (milliseconds). Tests shorten them.
  struct Deadlines {
    // Pause between a failed attempt and the next.
    int reconnectMs = kReconnectDelayMs;
    // Nothing read for this long, while a frame sent after the last read
    // is unanswered: the connection is dead. The keep-alive asks every few
    // seconds, so a live server is never this quiet.
    int silenceMs = 45000;
    // A connect attempt not completed by then is abandoned and retried.
    int connectMs = 10000;
    // A write that makes no progress for this long breaks the connection.
    int writeMs = 45000;
    // At exit, the longest wait for queued frames to go out.
    int drainMs = 1000;
  };
  // The most bytes taken from the socket in one turn of the loop.
  static constexpr std::size_t kMaxSingleRead = 256 * 1024;

  SocketClient();
  explicit SocketClient(const Deadlines& deadlines);
  // Ends the network thread if the owner has not done so.
  ~SocketClient() override;

  // Starts the network thread (once) and connects to `host`, a dotted IPv4
  // address, on `port`. False when the address is not one.
  bool connect(const std::string& host, std::uint16_t port);
  // Queues one frame for sending; the client owns it from now on. Any
  // thread; returns at once. False (and the frame freed) after exit.
  bool write(OutgoingFrame frame);
  // Gives the queued frames a bounded moment to go out, then closes the
  // connection and ends the loop; the thread ends soon after.
  void exit() override;
  // exit(), then waits until the network thread has ended.
  void shutdown();

  std::uint16_t state() const { return state_.load(); }
  // Frames waiting or in flight (network thread; tests and benchmarks).
  std::size_t queuedFrames() const { return writeQueue_.size(); }
  // Connect attempts made so far (any thread; tests).
  std::uint32_t connectAttempts() const { return connectAttempts_.load(); }
  // Frames given up at exit because they could not go out (any thread,
  // after the thread has ended; tests).
  std::size_t droppedAtExit() const { return droppedAtExit_.load(); }
  const Deadlines& deadlines() const { return deadlines_; }

 protected:
  void run() override;
  // Called at the very end of run(), on the network thread.
  virtual void stopped() {}
  // Bytes have arrived in `input` (network thread).
  virtual void onRead(evbuffer* /*input*/) {}
  // The connection is gone; anything half-received with it is void.
  virtual void onConnectionLost() {}
  // Gives up the current connection as broken and reconnects (network
  // thread), e.g. when the received stream cannot be trusted any more.
  void dropConnection();

 private:
  enum class CommandKind : std::uint16_t { kConnect = 1, kClose = 2, kExit = 3, kWrite = 5 };
  struct Command {
    CommandKind kind;
    sockaddr_in address{};
    OutgoingFrame frame;
  };

  bool post(Command command);
  bool setUpLoop();
  void tearDownLoop();

  static void onWakeUp(evutil_socket_t fd, short what, void* self);
  static void onReconnectTimer(evutil_socket_t fd, short what, void* self);
  static void onConnectTimer(evutil_socket_t fd, short what, void* self);
  static void onSilenceTimer(evutil_socket_t fd, short what, void* self);
  static void onDrainTimer(evutil_socket_t fd, short what, void* self);
  static void onReadable(bufferevent* bev, void* self);
  static void onWritten(bufferevent* bev, void* self);
  static void onEvent(bufferevent* bev, short what, void* self);

  void runCommands();
  void openConnection();
  void closeConnection();
  void connectionBroken();
  void scheduleReconnect();
  void flush();
  void resetConnectionState();
  // A frame has gone out: from now on an answer is awaited.
  void awaitAnswer();
  void finishExit();

  const Deadlines deadlines_;
  std::atomic<std::uint16_t> state_{kCreated};
  std::atomic<std::uint32_t> connectAttempts_{0};
  std::atomic<std::size_t> droppedAtExit_{0};

  // Command queue and the writing end of the wake-up pair; the pair is
  // made by the network thread and published here under the mutex.
  ThreadMutex commandMutex_;
  std::deque<Command> commands_;
  int wakeWriter_ = -1;
  bool stopped_ = false;

  // Network thread only.
  EventBasePtr base_;
  UniqueFd wakeReaderFd_;
  UniqueFd wakeWriterFd_;
  EventPtr wakeEvent_;
  EventPtr reconnectTimer_;
  EventPtr connectTimer_;
  EventPtr silenceTimer_;
  EventPtr drainTimer_;
  // Monotonic time of the first frame sent after the last read; -1 while
  // nothing is awaited.
  std::int64_t awaitingSinceMs_ = -1;
  BufferEventPtr connection_;
  int socket_ = 0;
  bool haveAddress_ = false;
  sockaddr_in address_{};
  bool exiting_ = false;
  // The connection has reported "connected" and not broken since.
  bool connected_ = false;
  // The head frame has been handed to the connection's output.
  bool inFlight_ = false;
  std::deque<OutgoingFrame> writeQueue_;
};

}  // namespace kanzo
