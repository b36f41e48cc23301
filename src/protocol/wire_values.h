#pragma once
// Values and JSON keys that the client and the chat server agree on. Both
// the client and the simulator spell them from here, so that the two sides
// cannot drift apart.
#include <cstdint>

namespace kanzo {

// Member kinds in FROM_TYPE and TO_TYPE.
inline constexpr std::int8_t kMemberKindAgent = 1;
inline constexpr std::int8_t kMemberKindVisitor = 2;

// Presence of an agent: the login body's state, the presence request's body,
// the presence list's second number and the state of a colleague's record.
inline constexpr std::int8_t kPresenceOffline = 1;
inline constexpr std::int8_t kPresenceOnline = 2;  // "在线"
inline constexpr std::int8_t kPresenceAway = 3;    // "离开"

// States of a visitor, in the visitor lists ("B10") and as the body of a
// visitor's presence notice.
inline constexpr std::int32_t kVisitorStateLeft = 1;
inline constexpr std::int32_t kVisitorStateIdle = 2;
inline constexpr std::int32_t kVisitorStateInviting = 101;
inline constexpr std::int32_t kVisitorStateRefused = 102;
inline constexpr std::int32_t kVisitorStateEnded = 104;
inline constexpr std::int32_t kVisitorStateTalking = 105;

// Integer bodies of a presence notice that are not a presence. Sent with the
// agent's own id, kNoticeLoggedInElsewhere means that the account has logged
// in on another connection and this one is let go. A colleague's notice with
// kNoticeForVisitorPanes is that colleague's invitation of a visitor, told
// to the visitor and conversation panes.
inline constexpr std::int32_t kNoticeLoggedInElsewhere = 4;
inline constexpr std::int32_t kNoticeForVisitorPanes = kVisitorStateInviting;

// RESULT values of an answer that the client tells apart: success, and the
// three ways a chat line can fail to reach its peer.
inline constexpr std::uint8_t kResultOk = 0;
inline constexpr std::uint8_t kResultPeerOffline = 6;   // the line becomes an offline message
inline constexpr std::uint8_t kResultServerNotice = 7;  // the answer's text is shown
inline constexpr std::uint8_t kResultTalkEnded = 8;     // the visitor ended the conversation

// Status codes of a call-back answer.
inline constexpr std::int32_t kCallbackBlacklisted = 1;
inline constexpr std::int32_t kCallbackSucceeded = 2;
inline constexpr std::int32_t kCallbackLineRejected = 3;
inline constexpr std::int32_t kCallbackBadNumber = 4;
inline constexpr std::int32_t kCallbackTooOftenByAddress = 5;
inline constexpr std::int32_t kCallbackTooOftenByNumber = 6;

// Keys of a visitor object (the visitor lists, a visitor's details notice,
// offline messages and guestbook entries).
inline constexpr const char* kVisitorKeyIp = "B1";
inline constexpr const char* kVisitorKeyArea = "B3";
inline constexpr const char* kVisitorKeySource = "B4";
inline constexpr const char* kVisitorKeyCurrentPage = "B5";
inline constexpr const char* kVisitorKeyTime = "B6";  // online since, or when the entry was written
inline constexpr const char* kVisitorKeyId = "B7";
inline constexpr const char* kVisitorKeyAgentId = "B8";
inline constexpr const char* kVisitorKeyState = "B10";
inline constexpr const char* kVisitorKeyPageTitle = "B11";

// Keys an offline message or a guestbook entry adds to the visitor keys.
inline constexpr const char* kEntryKeyName = "D1";   // the name the visitor wrote (guestbook)
inline constexpr const char* kEntryKeyPhone = "D2";  // guestbook
inline constexpr const char* kEntryKeyContent = "D3";

// Keys of the start data: the colleague groups, the presence list (a JSON
// text inside the document) and the inbox with its two arrays.
inline constexpr const char* kStartKeyUsers = "users";
inline constexpr const char* kStartKeyUserState = "userstate";
inline constexpr const char* kStartKeyGuestbook = "guestbook";
inline constexpr const char* kStartKeyOfflineMessages = "offMsg";
inline constexpr const char* kStartKeyGuestbookEntries = "gbook";

// Keys that name an agent in the start data's groups and in the bodies that
// identify the agent.
inline constexpr const char* kAgentKeyUid = "uid";
inline constexpr const char* kAgentKeyRealname = "realname";
inline constexpr const char* kAgentKeyUsername = "username";
inline constexpr const char* kAgentKeyPassword = "password";

}  // namespace kanzo
