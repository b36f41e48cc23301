#pragma once
// The simulator's chat-server side: a listener on 127.0.0.1, one buffered
// socket per client, the frame reader of the networking library on each
// input, and the way out for everything the chat service sends, with the
// faults that can be switched on per connection (delays, split frames) and
// the flood mode for benchmarks.
#include <event2/bufferevent.h>
#include <event2/listener.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>

#include "chat_service.h"
#include "frame_log.h"
#include "loop_timers.h"
#include "net/event_handles.h"
#include "net/frame_reader.h"

namespace kanzo {

struct ServerOptions {
  std::string host = "127.0.0.1";
  int port = 58089;  // 0: any free port (tests)
  // Frames whose message is longer than this are sent compressed;
  // kNeverCompress turns compression off.
  std::int32_t compressAbove = 512;
};

class SimServer final : public SimOutbox {
 public:
  SimServer(event_base* base, LoopTimers& timers, FrameLog& log, ServerOptions options);
  ~SimServer() override;
  SimServer(const SimServer&) = delete;
  SimServer& operator=(const SimServer&) = delete;

  void SetService(ChatService* service) { service_ = service; }
  bool Listen(std::string* error);
  int port() const { return port_; }

  // SimOutbox.
  void Send(ConnId conn, const Packet& packet) override;
  void Note(ConnId conn, const std::string& text) override;

  // Faults. Each returns "" or the reason it could not act.
  std::string CloseConnection(ConnId conn);
  std::string SendGarbage(ConnId conn, std::size_t bytes);
  std::string SendHugeLength(ConnId conn);
  std::string SetSplit(ConnId conn, std::size_t pieceBytes);  // 0: off
  std::string SetDelay(ConnId conn, std::int64_t delayMs);    // 0: off
  // A hung server: the connection stays open and what it receives is read,
  // but nothing is written to it any more (answers and notices are lost).
  std::string SetHang(ConnId conn, bool hang);
  void SetCompressAbove(std::int32_t bytes) { options_.compressAbove = bytes; }
  std::int32_t compressAbove() const { return options_.compressAbove; }

  // Flood mode: `count` copies of `line` (each BODY gets " #n") written as
  // fast as the socket takes them. Progress shows in FloodRemaining.
  std::string Flood(ConnId conn, const Packet& line, std::int64_t count);
  std::int64_t FloodRemaining(ConnId conn) const;

  std::vector<ConnId> Connections() const;
  bool HasConnection(ConnId conn) const { return connections_.count(conn) != 0; }
  std::string ConnectionsText() const;

 private:
  struct Outgoing {
    std::int64_t dueMs = 0;
    EvBufferPtr bytes;
  };
  struct Connection {
    ConnId id = 0;
    std::string peer;
    BufferEventPtr bev;
    FrameReader reader;
    std::uint32_t pendingHeader = 0;  // header of the frame being received
    std::int32_t pendingLength = 0;
    std::int64_t delayMs = 0;
    std::size_t splitBytes = 0;
    bool hung = false;
    std::deque<Outgoing> queue;  // bytes held back by a delay or a split
    EventPtr pump;
    // Flood mode.
    std::int64_t floodRemaining = 0;
    std::int64_t floodSent = 0;
    std::uint64_t floodBytes = 0;  // on the wire, frame headers included
    std::int64_t floodStartMs = 0;
    Packet floodLine;
    SimServer* server = nullptr;
  };

  static void OnAccept(evconnlistener*, evutil_socket_t fd, sockaddr* address, int, void* arg);
  static void OnRead(bufferevent* bev, void* arg);
  static void OnWrite(bufferevent* bev, void* arg);
  static void OnEvent(bufferevent* bev, short what, void* arg);
  static void OnPump(evutil_socket_t, short, void* arg);

  void Read(Connection& c);
  void Drop(ConnId conn, const std::string& why);
  void Queue(Connection& c, EvBufferPtr bytes);
  void Pump(Connection& c);
  void FeedFlood(Connection& c);
  Connection* Find(ConnId conn);

  event_base* base_;
  LoopTimers& timers_;
  FrameLog& log_;
  ServerOptions options_;
  ChatService* service_ = nullptr;
  std::unique_ptr<evconnlistener, void (*)(evconnlistener*)> listener_;
  int port_ = 0;
  ConnId nextId_ = 1;
  std::map<ConnId, std::unique_ptr<Connection>> connections_;
};

}  // namespace kanzo
