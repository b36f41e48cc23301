#include "sim_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <sstream>
#include <vector>

#include "net/frame_format.h"
#include "packet_codec.h"

namespace kanzo {

namespace {

// A message's fixed header: reserved, MESSAGE_ID, command, RESULT, SESSION_ID.
constexpr std::size_t kMessageHeaderBytes = 1 + 8 + 4 + 1 + 8;
// How far into the input the header of the next frame is looked for, for
// the log line (garbage before a frame is skipped by the reader).
constexpr std::size_t kHeaderPeekBytes = 4096;
constexpr std::int64_t kSplitIntervalMs = 2;
constexpr std::size_t kFloodLowWater = 64 * 1024;
constexpr std::size_t kFloodBatchBytes = 256 * 1024;
constexpr std::uint32_t kHugeLength = 0x7FFFFFF0;
constexpr unsigned char kMagicHighByte = 0x67;

}  // namespace

SimServer::SimServer(event_base* base, LoopTimers& timers, FrameLog& log, ServerOptions options)
    : base_(base), timers_(timers), log_(log), options_(std::move(options)), listener_(nullptr, &evconnlistener_free) {}

SimServer::~SimServer() { connections_.clear(); }

bool SimServer::Listen(std::string* error) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(options_.port));
  if (inet_pton(AF_INET, options_.host.c_str(), &address.sin_addr) != 1) {
    *error = "无效的监听地址 " + options_.host;
    return false;
  }
  listener_.reset(evconnlistener_new_bind(base_, &SimServer::OnAccept, this, LEV_OPT_CLOSE_ON_FREE | LEV_OPT_REUSEABLE,
                                          -1, reinterpret_cast<sockaddr*>(&address), sizeof address));
  if (!listener_) {
    *error = "无法监听 " + options_.host + ":" + std::to_string(options_.port) + ": " + std::strerror(errno);
    return false;
  }
  sockaddr_in bound{};
  socklen_t length = sizeof bound;
  getsockname(evconnlistener_get_fd(listener_.get()), reinterpret_cast<sockaddr*>(&bound), &length);
  port_ = ntohs(bound.sin_port);
  return true;
}

SimServer::Connection* SimServer::Find(ConnId conn) {
  const auto it = connections_.find(conn);
  return it == connections_.end() ? nullptr : it->second.get();
}

void SimServer::OnAccept(evconnlistener*, evutil_socket_t fd, sockaddr* address, int, void* arg) {
  auto* self = static_cast<SimServer*>(arg);
  auto c = std::make_unique<Connection>();
  c->id = self->nextId_++;
  c->server = self;
  char text[INET_ADDRSTRLEN] = "?";
  const auto* in = reinterpret_cast<const sockaddr_in*>(address);
  inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
  c->peer = std::string(text) + ":" + std::to_string(ntohs(in->sin_port));
  c->bev.reset(bufferevent_socket_new(self->base_, fd, BEV_OPT_CLOSE_ON_FREE));
  if (!c->bev) {
    evutil_closesocket(fd);
    return;
  }
  c->pump.reset(evtimer_new(self->base_, &SimServer::OnPump, c.get()));
  bufferevent_setcb(c->bev.get(), &SimServer::OnRead, &SimServer::OnWrite, &SimServer::OnEvent, c.get());
  bufferevent_setwatermark(c->bev.get(), EV_READ, 0, kReadHighWater);
  bufferevent_enable(c->bev.get(), EV_READ | EV_WRITE);
  const ConnId id = c->id;
  self->log_.Note(id, "连接 " + c->peer);
  self->connections_[id] = std::move(c);
  if (self->service_ != nullptr) self->service_->OnConnected(id);
}

void SimServer::OnRead(bufferevent*, void* arg) {
  auto* c = static_cast<Connection*>(arg);
  c->server->Read(*c);
}

void SimServer::Read(Connection& c) {
  const ConnId id = c.id;
  evbuffer* input = bufferevent_get_input(c.bev.get());
  for (;;) {
    // Look at the bytes the reader is about to take, for the log line.
    unsigned char peek[kHeaderPeekBytes];
    const bool wasPending = c.reader.framePending();
    const std::uint64_t discardedBefore = c.reader.discardedBytes();
    const ev_ssize_t peeked = wasPending ? 0 : evbuffer_copyout(input, peek, sizeof peek);
    FramePayload view;
    const FrameStatus status = c.reader.next(input, &view);
    const std::uint64_t skipped = c.reader.discardedBytes() - discardedBefore;
    if (skipped > 0) log_.Bad(id, "丢弃 " + std::to_string(skipped) + " 字节无法识别的数据");
    if (!wasPending && (status != FrameStatus::kNeedMore || c.reader.framePending())) {
      const std::size_t at = static_cast<std::size_t>(skipped);
      if (peeked >= 0 && at + kFrameHeaderBytes <= static_cast<std::size_t>(peeked)) {
        c.pendingHeader = ReadBigEndian32(peek + at);
        c.pendingLength = static_cast<std::int32_t>(ReadBigEndian32(peek + at + kFrameWordBytes));
      } else {
        c.pendingHeader = 0;
        c.pendingLength = -1;
      }
    }
    switch (status) {
      case FrameStatus::kNeedMore: return;
      case FrameStatus::kBroken:
        log_.Bad(id, "帧长度无效 " + std::to_string(c.pendingLength) + "，断开连接");
        Drop(id, "数据流损坏");
        return;
      case FrameStatus::kDropped: log_.Bad(id, "无法解压的帧，已丢弃"); continue;
      case FrameStatus::kFrame: break;
    }
    // The view lives only until the reader's next call; the service keeps
    // what it reads, so the message bytes get a buffer of their own.
    EvBufferPtr payload = NewEvBuffer();
    evbuffer_add(payload.get(), view.data, view.size);
    const auto plainLength = static_cast<std::int32_t>(evbuffer_get_length(payload.get()));
    Packet packet;
    const bool whole = DecodePacket(payload.get(), &packet);
    if (!whole) {
      log_.Bad(id, "无法解析的消息 len=" + std::to_string(plainLength));
      if (plainLength >= static_cast<std::int32_t>(kMessageHeaderBytes) && service_ != nullptr) {
        service_->OnUnreadable(id, packet);
      }
    } else {
      log_.Frame(FrameDirection::kReceived, id, c.pendingHeader, c.pendingLength, plainLength, packet);
      if (service_ != nullptr) service_->OnPacket(id, packet);
    }
    // The service may have closed this connection while answering.
    if (Find(id) == nullptr) return;
  }
}

void SimServer::OnWrite(bufferevent*, void* arg) {
  auto* c = static_cast<Connection*>(arg);
  if (c->floodRemaining > 0) c->server->FeedFlood(*c);
}

void SimServer::OnEvent(bufferevent*, short what, void* arg) {
  auto* c = static_cast<Connection*>(arg);
  if (what & (BEV_EVENT_EOF | BEV_EVENT_ERROR | BEV_EVENT_TIMEOUT)) {
    c->server->Drop(c->id, (what & BEV_EVENT_EOF) ? "对方关闭连接" : "连接错误");
  }
}

void SimServer::Drop(ConnId conn, const std::string& why) {
  const auto it = connections_.find(conn);
  if (it == connections_.end()) return;
  log_.Note(conn, "断开 " + it->second->peer + " " + why);
  // Freed after the service has forgotten the connection; the bufferevent
  // closes the socket.
  std::unique_ptr<Connection> gone = std::move(it->second);
  connections_.erase(it);
  if (service_ != nullptr) service_->OnDisconnected(conn);
}

void SimServer::Send(ConnId conn, const Packet& packet) {
  Connection* c = Find(conn);
  if (c == nullptr) {
    log_.Note(conn, "连接已不存在，丢弃 command=" + std::to_string(packet.command));
    return;
  }
  EvBufferPtr frame = NewEvBuffer();
  const FrameFacts facts = AppendPacketFrame(frame.get(), packet, options_.compressAbove);
  log_.Frame(FrameDirection::kSent, conn, facts.header, facts.length, facts.plainLength, packet);
  Queue(*c, std::move(frame));
}

void SimServer::Note(ConnId conn, const std::string& text) { log_.Note(conn, text); }

void SimServer::Queue(Connection& c, EvBufferPtr bytes) {
  if (c.hung) return;
  if (c.queue.empty() && c.delayMs == 0 && c.splitBytes == 0) {
    bufferevent_write_buffer(c.bev.get(), bytes.get());
    return;
  }
  c.queue.push_back(Outgoing{timers_.NowMillis() + c.delayMs, std::move(bytes)});
  if (c.queue.size() == 1) Pump(c);
}

void SimServer::OnPump(evutil_socket_t, short, void* arg) {
  auto* c = static_cast<Connection*>(arg);
  c->server->Pump(*c);
}

void SimServer::Pump(Connection& c) {
  while (!c.queue.empty()) {
    Outgoing& head = c.queue.front();
    const std::int64_t now = timers_.NowMillis();
    if (head.dueMs > now) {
      const std::int64_t wait = head.dueMs - now;
      timeval tv{static_cast<time_t>(wait / 1000), static_cast<suseconds_t>((wait % 1000) * 1000)};
      evtimer_add(c.pump.get(), &tv);
      return;
    }
    if (c.splitBytes == 0) {
      bufferevent_write_buffer(c.bev.get(), head.bytes.get());
      c.queue.pop_front();
      continue;
    }
    std::vector<unsigned char> piece(std::min(c.splitBytes, evbuffer_get_length(head.bytes.get())));
    evbuffer_remove(head.bytes.get(), piece.data(), piece.size());
    bufferevent_write(c.bev.get(), piece.data(), piece.size());
    if (evbuffer_get_length(head.bytes.get()) == 0) c.queue.pop_front();
    if (!c.queue.empty()) {
      timeval tv{0, static_cast<suseconds_t>(kSplitIntervalMs * 1000)};
      evtimer_add(c.pump.get(), &tv);
    }
    return;
  }
}

// ---------------------------------------------------------------- faults

std::string SimServer::CloseConnection(ConnId conn) {
  if (Find(conn) == nullptr) return "连接不存在";
  Drop(conn, "故障：服务器关闭连接");
  return {};
}

std::string SimServer::SendGarbage(ConnId conn, std::size_t bytes) {
  Connection* c = Find(conn);
  if (c == nullptr) return "连接不存在";
  std::mt19937 random(static_cast<std::uint32_t>(timers_.NowMillis()));
  std::vector<unsigned char> junk(bytes);
  for (unsigned char& b : junk) {
    // Never the first byte of a header's magic, so the junk cannot pose as
    // a frame with an absurd length.
    do {
      b = static_cast<unsigned char>(random());
    } while (b == kMagicHighByte);
  }
  log_.Note(conn, "故障：发送 " + std::to_string(bytes) + " 字节垃圾数据");
  EvBufferPtr buffer = NewEvBuffer();
  evbuffer_add(buffer.get(), junk.data(), junk.size());
  Queue(*c, std::move(buffer));
  return {};
}

std::string SimServer::SendHugeLength(ConnId conn) {
  Connection* c = Find(conn);
  if (c == nullptr) return "连接不存在";
  const std::uint32_t words[2] = {htonl(kFrameMagic), htonl(kHugeLength)};
  log_.Note(conn, "故障：发送长度为 " + std::to_string(kHugeLength) + " 的帧头");
  EvBufferPtr buffer = NewEvBuffer();
  evbuffer_add(buffer.get(), words, sizeof words);
  Queue(*c, std::move(buffer));
  return {};
}

std::string SimServer::SetSplit(ConnId conn, std::size_t pieceBytes) {
  Connection* c = Find(conn);
  if (c == nullptr) return "连接不存在";
  c->splitBytes = pieceBytes;
  log_.Note(conn,
            pieceBytes == 0 ? "故障结束：拆分帧" : "故障：帧拆成 " + std::to_string(pieceBytes) + " 字节一段发送");
  return {};
}

std::string SimServer::SetDelay(ConnId conn, std::int64_t delayMs) {
  Connection* c = Find(conn);
  if (c == nullptr) return "连接不存在";
  c->delayMs = std::max<std::int64_t>(0, delayMs);
  log_.Note(conn, delayMs <= 0 ? "故障结束：延迟" : "故障：回答延迟 " + std::to_string(delayMs) + " 毫秒");
  return {};
}

std::string SimServer::SetHang(ConnId conn, bool hang) {
  Connection* c = Find(conn);
  if (c == nullptr) return "连接不存在";
  c->hung = hang;
  // Bytes held back by a delay or a split would still trickle out.
  if (hang) c->queue.clear();
  log_.Note(conn, hang ? "故障：连接保持打开，但不再回答" : "故障结束：不回答");
  return {};
}

// ---------------------------------------------------------------- flood

std::string SimServer::Flood(ConnId conn, const Packet& line, std::int64_t count) {
  Connection* c = Find(conn);
  if (c == nullptr) return "连接不存在";
  if (count <= 0) return "数量必须大于0";
  c->floodLine = line;
  c->floodRemaining = count;
  c->floodSent = 0;
  c->floodBytes = 0;
  c->floodStartMs = timers_.NowMillis();
  log_.Note(conn, "洪水模式：" + std::to_string(count) + " 条消息");
  bufferevent_setwatermark(c->bev.get(), EV_WRITE, kFloodLowWater, 0);
  FeedFlood(*c);
  return {};
}

void SimServer::FeedFlood(Connection& c) {
  evbuffer* output = bufferevent_get_output(c.bev.get());
  while (c.floodRemaining > 0 && evbuffer_get_length(output) < kFloodBatchBytes) {
    Packet p = c.floodLine;
    if (p.msg) p.msg->body += " #" + std::to_string(c.floodSent + 1);
    const std::size_t before = evbuffer_get_length(output);
    AppendPacketFrame(output, p, options_.compressAbove);
    c.floodBytes += evbuffer_get_length(output) - before;
    --c.floodRemaining;
    ++c.floodSent;
  }
  if (c.floodRemaining == 0) {
    bufferevent_setwatermark(c.bev.get(), EV_WRITE, 0, 0);
    // The byte count lets a reader of the raw stream know where it ends.
    log_.Note(c.id, "洪水模式结束：" + std::to_string(c.floodSent) + " 条，" + std::to_string(c.floodBytes) +
                        " 字节，用时 " + std::to_string(timers_.NowMillis() - c.floodStartMs) + " 毫秒（写入套接字）");
  }
}

std::int64_t SimServer::FloodRemaining(ConnId conn) const {
  const auto it = connections_.find(conn);
  return it == connections_.end() ? 0 : it->second->floodRemaining;
}

std::vector<ConnId> SimServer::Connections() const {
  std::vector<ConnId> ids;
  for (const auto& [id, c] : connections_) ids.push_back(id);
  return ids;
}

std::string SimServer::ConnectionsText() const {
  std::ostringstream s;
  for (const auto& [id, c] : connections_) {
    s << "  conn=" << id << " " << c->peer;
    if (service_ != nullptr && service_->AgentOf(id) != 0) s << " uid=" << service_->AgentOf(id);
    if (c->delayMs != 0) s << " delay=" << c->delayMs;
    if (c->splitBytes != 0) s << " split=" << c->splitBytes;
    if (c->hung) s << " hang";
    if (c->floodRemaining != 0) s << " flood=" << c->floodRemaining;
    s << "\n";
  }
  return s.str();
}

}  // namespace kanzo
