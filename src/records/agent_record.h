#pragma once
// The current agent record: who is logged in on this client, one per
// process. The login window fills it; the windows read it; the chat-line
// store thread reads the agent's triple from its own thread. Every access
// goes through the record's lock, so a reader never sees the fields of two
// different logins mixed.
#include <cstdint>
#include <mutex>
#include <string>

#include "protocol/login.h"

namespace kanzo {

// Presence of the agent: kPresenceOnline and kPresenceAway, the values the
// login body carries (protocol/wire_values.h).

// How new messages are announced (flick_state).
inline constexpr std::int32_t kFlickStateBubble = 3;
inline constexpr std::int32_t kFlickStateChatWindow = 4;

// New-message sound (sound_state).
inline constexpr std::int32_t kSoundStateOn = 1;
inline constexpr std::int32_t kSoundStateOff = 2;

// The numbers that name the logged-in agent in requests and in the
// database (lgn_account, lgn_uid, lgn_type).
struct AgentTriple {
  std::int32_t account = 0;
  std::int32_t agentId = 0;
  std::int32_t agentType = 0;

  friend bool operator==(const AgentTriple&, const AgentTriple&) = default;
};

struct AgentRecord {
  std::string userName;
  std::string password;
  std::int32_t presence = kPresenceOnline;
  std::int64_t lastSessionTime = 0;  // seconds since 1970
  AgentTriple triple;                // agentId 0 while nobody is logged in
  std::int32_t agentKind = 0;        // the login answer's "type"
  std::string sex;                   // "男" or "女"
  std::string age;
  std::string realname;
  std::string phone;
  std::string mobile;
  std::string email;
  std::string qq;
  std::string address;
  std::string zipcode;
  std::string remark;
  std::string userGroup;  // the start data's group that holds the agent
  std::int32_t sendKeyType = 0;
  std::int32_t flickState = kFlickStateBubble;
  std::int32_t soundState = kSoundStateOn;
};

class SharedAgentRecord {
 public:
  SharedAgentRecord() = default;
  SharedAgentRecord(const SharedAgentRecord&) = delete;
  SharedAgentRecord& operator=(const SharedAgentRecord&) = delete;

  AgentRecord Copy() const;
  AgentTriple Triple() const;
  std::int32_t AgentId() const;
  bool IsLoggedIn() const { return AgentId() != 0; }

  // Changes fields under the lock; `change` receives the record.
  template <typename Change>
  void Update(Change&& change) {
    std::lock_guard<std::mutex> guard(mutex_);
    change(record_);
  }

  // Back to the state before any login.
  void Reset();

 private:
  mutable std::mutex mutex_;
  AgentRecord record_;
};

}  // namespace kanzo
