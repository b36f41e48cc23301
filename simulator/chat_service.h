#pragma once
// The chat service the simulator plays: agents and their sessions, visitors
// and their conversations, offline messages and guestbook entries, common
// messages and call-backs. It answers the requests of connected clients and
// sends the notices the agents' clients expect. It knows nothing of sockets:
// what it sends goes through a SimOutbox, delays through a SimScheduler.
#include <json/json.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "packet.h"
#include "sim_data.h"

namespace kanzo {

class SimOutbox {
 public:
  virtual ~SimOutbox() = default;
  virtual void Send(ConnId conn, const Packet& packet) = 0;
  // A line for the frame log (faults, sessions, rejected input).
  virtual void Note(ConnId conn, const std::string& text) = 0;
};

class SimScheduler {
 public:
  virtual ~SimScheduler() = default;
  virtual void After(std::int64_t delayMs, std::function<void()> task) = 0;
  virtual std::int64_t NowMillis() const = 0;
};

struct SimVisitor {
  std::int32_t id = 0;
  std::string area, source, currentPage, pageTitle, ip, onlineTime;
  int state = 2;
  std::int32_t agentId = 0;
  std::int32_t preferredAgent = 0;  // who takes its chats; 0 = the next free
  std::deque<std::string> replies;  // its answers, in order, to agents' lines
  bool autoReply = true;            // fall back to the common answer pool

  Json::Value ToJson() const;
};

struct OfflineMessage {
  std::int32_t to = 0;
  std::int32_t from = 0;
  std::string time, source, currentPage, area, ip, content;
};

struct GuestbookEntry {
  std::int32_t to = 0;
  std::int32_t visitor = 0;
  std::string name, phone, time, area, currentPage, source, ip, content;
};

struct ServiceOptions {
  std::int64_t replyDelayMs = 2500;     // a visitor or colleague answering
  std::int64_t sessionGraceMs = 90000;  // a session without connection stays this long
  std::int64_t pendingLimit = 200;      // lines kept for an agent between connections
};

class ChatService {
 public:
  ChatService(SimData data, SimOutbox& out, SimScheduler& scheduler, ServiceOptions options = {});

  // Connections.
  void OnConnected(ConnId conn);
  void OnDisconnected(ConnId conn);
  void OnPacket(ConnId conn, const Packet& request);
  // A frame whose message could not be read whole: answered with a failure
  // when its header could be read.
  void OnUnreadable(ConnId conn, const Packet& partial);
  // Periodic upkeep: expires sessions whose connection has been gone too long.
  void Sweep();

  // The world, as the scenario and the control interface drive it. Each
  // returns "" on success or the reason it could not act.
  std::string VisitorArrives(SimVisitor visitor);
  std::string VisitorUpdate(std::int32_t id, const std::map<std::string, std::string>& fields);
  std::string Invite(std::int32_t visitor, std::int32_t agent);
  std::string InviteAnswer(std::int32_t visitor, bool accepted);
  std::string VisitorSays(std::int32_t visitor, const std::string& text);
  std::string EndTalk(std::int32_t visitor);
  std::string VisitorLeaves(std::int32_t visitor);
  std::string AddVisitorReply(std::int32_t visitor, const std::string& text);
  void AddDefaultReply(const std::string& text);
  std::string ColleagueSays(std::int32_t colleague, std::int32_t to, const std::string& text);
  std::string SetScriptedPresence(std::int32_t agent, int presence);
  std::string AddOfflineMessage(OfflineMessage message);
  std::string AddGuestbookEntry(GuestbookEntry entry);
  std::string KickAgent(std::int32_t agent);
  // A notice of any command to the agent. `messageId` is the MESSAGE_ID it
  // carries (kLastChatId: that of the agent's last chat line); without
  // `withMsg` it carries no body; it goes out `times` times.
  static constexpr std::int64_t kLastChatId = -1;
  std::string SendRawNotice(std::int32_t agent, std::int32_t command, const MsgFields& fields, std::uint8_t result,
                            std::int64_t messageId = 0, bool withMsg = true, int times = 1);
  // Sends the agent a quick-lists message (43) of its lists with the
  // categories written in descending order and a number among the quick
  // texts, as a server may write them.
  std::string PushUnorderedQuickLists(std::int32_t agent);
  void ForceNextCallbackStatus(int status) { forcedCallbackStatus_ = status; }
  void MuteKeepAlive(std::int64_t untilMs) { keepAliveMutedUntilMs_ = untilMs; }

  // A chat line from `from` (visitor or colleague) to `agent`, built for the
  // flood mode; false when the agent has no connection.
  bool BuildChatLine(std::int32_t from, std::int32_t agent, const std::string& text, ConnId* conn, Packet* packet);

  // Look-ups for the control interface and tests.
  std::int32_t NextVisitorId() const;
  std::int32_t FindAgentUid(const std::string& nameOrUid) const;
  ConnId ConnectionOf(std::int32_t agent) const;
  std::int32_t AgentOf(ConnId conn) const;
  int PresenceOf(std::int32_t agent) const;
  const SimVisitor* FindVisitor(std::int32_t id) const;
  std::string StatusText() const;
  std::int64_t CurrentSession(std::int32_t agent) const;

 private:
  struct AgentRuntime {
    ConnId conn = 0;
    int presence = kPresenceOffline;  // set by the agent's own client
    std::int64_t session = 0;
    std::int64_t previousSession = 0;
    std::int64_t lastSeenMs = 0;
    std::deque<Packet> pending;   // lines that arrived while it reconnected
    std::size_t replyIndex = 0;   // next of its scripted replies
    std::int64_t lastChatId = 0;  // MESSAGE_ID of its last chat line
  };

  // Requests.
  void HandleLogin(ConnId conn, const Packet& req, bool again);
  void HandleRefresh(ConnId conn, const Packet& req);
  void HandleCounts(ConnId conn, const Packet& req);
  void HandlePresence(ConnId conn, const Packet& req);
  void HandleChat(ConnId conn, const Packet& req);
  void HandleInitData(ConnId conn, const Packet& req);
  void HandleCallPhone(ConnId conn, const Packet& req);
  void HandleMemberInfo(ConnId conn, const Packet& req);
  void HandleCategories(ConnId conn, const Packet& req);
  void HandleSaveSelf(ConnId conn, const Packet& req);
  void HandleOnlineVisitors(ConnId conn, const Packet& req);
  void HandleAddCommon(ConnId conn, const Packet& req);
  void HandleQuickLists(ConnId conn, const Packet& req);
  // The agent's lists: its own and the shared common messages by category,
  // and the texts of those that are also quick messages.
  Json::Value QuickListsOf(std::int32_t agent) const;

  // Chat routing.
  void AgentToVisitor(ConnId conn, std::int32_t agent, const Packet& req);
  void AgentToAgent(ConnId conn, std::int32_t agent, const Packet& req);
  void DeliverToAgent(std::int32_t agent, const Packet& packet);
  void StartTalk(SimVisitor& visitor, std::int32_t agent);
  void ScheduleVisitorReply(std::int32_t visitor);
  void ScheduleColleagueReply(std::int32_t colleague, std::int32_t to);

  // Notices.
  void BroadcastVisitorState(const SimVisitor& visitor);
  void BroadcastVisitorDetails(const SimVisitor& visitor);
  void BroadcastAgentPresence(std::int32_t agent, int presence);

  // Answers.
  void Answer(ConnId conn, const Packet& req, std::uint8_t result, MsgFields fields);
  void Fail(ConnId conn, const Packet& req, std::uint8_t result, const std::string& text);

  // Identity of a request: the agent bound to the connection, or the agent
  // whose live session the request carries (binding it to the connection).
  std::int32_t Identify(ConnId conn, const Packet& req);
  bool CheckCredentials(std::int32_t agent, const Json::Value& body) const;
  std::int64_t NewSession();
  void Bind(ConnId conn, std::int32_t agent);
  void Unbind(std::int32_t agent);
  int EffectivePresence(std::int32_t agent) const;
  std::int32_t PickAgentFor(const SimVisitor& visitor) const;
  Json::Value PresenceList() const;
  Json::Value AgentDetailsJson(const AgentAccount& agent) const;
  MsgFields AgentMsg(const AgentAccount& agent) const;
  void CountTalk(std::int32_t visitor, std::int32_t agent);
  std::string Now() const;
  bool KeepAliveMuted() const;

  SimData data_;
  SimOutbox& out_;
  SimScheduler& scheduler_;
  ServiceOptions options_;
  std::map<std::int32_t, AgentRuntime> agents_;
  std::map<ConnId, std::int32_t> connections_;  // connection -> agent (0: none)
  std::map<std::int32_t, SimVisitor> visitors_;
  std::vector<OfflineMessage> offline_;
  std::vector<GuestbookEntry> guestbook_;
  std::set<std::tuple<std::string, std::int32_t, std::int32_t>> talks_;  // date, visitor, agent
  std::map<std::string, int> callsPerNumber_;
  std::vector<std::string> defaultReplies_;
  std::size_t defaultReplyIndex_ = 0;
  int forcedCallbackStatus_ = 0;
  std::int64_t keepAliveMutedUntilMs_ = 0;
  std::mt19937_64 sessionRandom_;
  std::set<std::int64_t> issuedSessions_;
  std::int32_t nextCmid_ = 1;
};

}  // namespace kanzo
