#include "chat/chat_conversations.h"

#include <algorithm>
#include <utility>

#include "chat/phone_links.h"
#include "chat/transcript_lines.h"
#include "chat/wire_display.h"
#include "log/cx_log.h"
#include "platform/clock.h"
#include "platform/narrow_text.h"
#include "protocol/commands.h"
#include "protocol/object_io.h"
#include "protocol/wire_values.h"
#include "records/agent_requests.h"
#include "workspace/json_body.h"

// The log names these steps by the window methods that have always written
// them, whatever class does the work now.
#define KLOG_AS(level, function, ...)                                          \
  do {                                                                         \
    if (::kanzo::CxLog* kanzo_log_ = ::kanzo::CxLog::InstanceIfEnabled(level)) \
      kanzo_log_->LogFormat(level, __FILE__, function, __LINE__, __VA_ARGS__); \
  } while (0)

namespace kanzo {
namespace {

constexpr const char* kSendFunction = "ChatDlg::OnBnClickedChatSendButton";
constexpr const char* kReceiveFunction = "ChatDlg::OnNetworkMessage";
constexpr const char* kMemberInfoFunction = "ChatDlg::RefreshMemberInfo";

// Conversations show at least this many of their last entries.
constexpr std::size_t kShownEntries = 20;
// What a new visitor's notice to the conversation list carries.
constexpr const char* kNewVisitorNotice = "105";
constexpr const char* kVisitorNameFormat = "访客 ";
constexpr const char* kVisitorLastMessage = "访客:";

// The wire carries member kinds in one byte: kinds beyond it (the offline
// sender and guestbook author) go out as their low byte, as they always have.
std::int8_t WireKind(std::int32_t kind) { return static_cast<std::int8_t>(static_cast<std::uint8_t>(kind & 0xFF)); }

std::string JsonNarrow(const Json::Value& value) { return platform::Utf8ToNarrow(value.asString()); }

}  // namespace

ChatConversations::ChatConversations(Parts parts) : parts_(std::move(parts)) {}

std::int64_t ChatConversations::Now() const { return platform::CurrentClock().NowSeconds(); }

void ChatConversations::Send() {
  const std::string markup = parts_.view.ReadInputMarkup();
  if (markup.empty() || selectedId_ == 0) return;
  const std::string wire = parts_.view.ReadInputWire();
  const std::size_t wireBytes = platform::NarrowToUtf8(wire).size();
  if (wireBytes > static_cast<std::size_t>(ObjectIO::kMaxStringBytes)) {
    // Cut on the wire it would arrive as another text than the agent wrote:
    // it stays in the input instead.
    KLOG_AS(kLogWarning, kSendFunction, "消息过长，未发送：TO=%d 字节数=%zu", selectedId_, wireBytes);
    parts_.view.AppendTranscript(NoticeLine(kNoticeSendFailed));
    return;
  }
  const AgentRecord me = parts_.agent.Copy();
  const std::int64_t now = Now();
  const std::string line = OwnTranscriptLine(me.realname, now, markup);
  parts_.view.AppendTranscript(line);

  Msg msg = AgentRequest(me.triple, wire);
  msg.TO = selectedId_;
  msg.TO_TYPE = WireKind(selectedKind_);
  Message message(true);
  message.command = kCommandChatMessage;
  message.setBody(&msg);
  AppendEntry(selectedId_, line, false, message.MESSAGE_ID);
  if (parts_.send) parts_.send(message);
  KLOG_AS(kLogInfo, kSendFunction, "发送消息：MESSAGE_ID=%lld FROM_TYPE=%d FROM=%d TO_TYPE=%d TO=%d BODY=%s",
          static_cast<long long>(message.MESSAGE_ID), msg.FROM_TYPE, msg.FROM, msg.TO_TYPE, msg.TO, wire.c_str());

  parts_.view.ClearInput();
  parts_.view.FocusInput();
  const bool shownHere = parts_.view.IsShownNormal();
  parts_.contacts.Update(selectedId_, [&](ContactRecord& record) {
    record.lastMessage = wire;
    record.lastTalkTime = std::to_string(now);
    if (!shownHere) ++record.unread;
  });
  parts_.neighbours.RefreshSessions();
}

void ChatConversations::OnChatMessage(const Message& message) {
  const Msg* msg = message.bodyAs<Msg>();
  if (message.RESULT == 0 && msg) {
    Receive(message, *msg);
  } else {
    OnSendFailure(message);
  }
}

void ChatConversations::Receive(const Message& /*message*/, const Msg& msg) {
  KLOG_AS(kLogInfo, kReceiveFunction, "接收消息：FROM_TYPE=%d FROM=%d TO_TYPE=%d TO=%d BODY=%s", msg.FROM_TYPE,
          msg.FROM, msg.TO_TYPE, msg.TO, msg.BODY.c_str());
  const std::int32_t sender = msg.FROM;
  parts_.neighbours.ChatLineArrived(ChatLineNotice{0, msg.FROM_TYPE, sender, msg.BODY});

  const SenderNames names = SenderNamesOf(sender, parts_.names);
  const std::string text = ConvertWireTextForDisplay(LinkPhoneNumbers(msg.BODY));
  const std::string line = RemoveForeignPictures(IncomingTranscriptLine(names.coloured, Now(), text));

  const std::int32_t me = parts_.agent.AgentId();
  const bool seenHere = parts_.view.IsShownNormal() && sender == selectedId_;
  const std::int32_t senderType = msg.FROM_TYPE == 0 ? kMemberKindAgent : msg.FROM_TYPE;
  if (senderType == kMemberKindVisitor) {
    if (parts_.contacts.Contains(sender)) {
      parts_.contacts.Update(sender, [&](ContactRecord& record) {
        if (record.state == kVisitorStateLeft) record.state = kVisitorStateIdle;
        record.agentId = me;
      });
    } else {
      EnterVisitor(sender, me);
    }
    const std::string now = std::to_string(Now());
    parts_.contacts.Update(sender, [&](ContactRecord& record) {
      record.lastMessage = kVisitorLastMessage + msg.BODY;
      record.lastTalkTime = now;
      if (!seenHere) ++record.unread;
    });
    parts_.neighbours.RefreshSessions();
  } else if (senderType == kMemberKindAgent && sender != me) {
    if (!parts_.contacts.Contains(sender)) EnterColleague(sender);
    bool first = false;
    if (!seenHere) {
      parts_.contacts.Update(sender, [&](ContactRecord& record) { first = record.unread++ == 0; });
    }
    if (first) parts_.neighbours.ColleagueUnread();
  }

  AppendEntry(sender, line, true, 0);
  if (sender == selectedId_) parts_.view.AppendTranscript(line);
  if (parts_.contacts.Contains(sender)) {
    if (talks_.FindTalk(sender) == TalkList::kNone) talks_.AddTalk(sender, false);
    parts_.view.RepaintTalkList();
  }
  Announce(sender, names.shortName, msg.BODY);
}

void ChatConversations::EnterVisitor(std::int32_t visitorId, std::int32_t agentId) {
  ContactRecord record;
  record.name = kVisitorNameFormat + std::to_string(visitorId);
  record.id = visitorId;
  record.kind = kContactKindVisitor;
  record.state = kVisitorStateTalking;
  record.agentId = agentId;
  // The visitor list enters it; without that list it is entered here, so
  // that the line is not lost.
  if (!parts_.neighbours.AddOnlineVisitor(record) || !parts_.contacts.Contains(visitorId)) {
    parts_.contacts.Enter(std::make_unique<ContactRecord>(record));
  }
  Msg notice;
  notice.FROM_TYPE = kMemberKindVisitor;
  notice.FROM = visitorId;
  notice.TO_TYPE = kMemberKindAgent;
  notice.TO = agentId;
  notice.BODY = kNewVisitorNotice;
  parts_.neighbours.SessionNotice(notice);
}

void ChatConversations::EnterColleague(std::int32_t agentId) {
  // A colleague missing from the start data still gets a conversation.
  auto record = std::make_unique<ContactRecord>();
  record->name = AgentNameOrDefault(agentId, parts_.names);
  record->id = agentId;
  record->kind = kContactKindAgent;
  parts_.contacts.Enter(std::move(record));
}

void ChatConversations::Announce(std::int32_t senderId, const std::string& shortName, const std::string& body) {
  if (parts_.view.IsShownNormal()) return;
  if (parts_.agent.Copy().flickState == kFlickStateChatWindow) {
    if (!parts_.contacts.Contains(senderId)) return;
    OpenConversation(senderId);
    parts_.view.ShowAndRaise();
    return;
  }
  const bool changed = senderId != bubbleSenderId_;
  bubbleSenderId_ = senderId;
  parts_.view.ShowBubble(shortName, WireTextWithFaceNames(body), senderId, changed);
}

void ChatConversations::OnSendFailure(const Message& message) {
  KLOG_AS(kLogInfo, kReceiveFunction, "消息发送失败 MESSAGE_ID=%lld 错误代码：%d",
          static_cast<long long>(message.MESSAGE_ID), message.RESULT);
  TranscriptEntry* entry = store_.FindPending(message.MESSAGE_ID);
  if (!entry || entry->reported) return;
  const Msg* msg = message.bodyAs<Msg>();

  ContactRecord sentTo;
  parts_.contacts.CopyRecord(entry->recordId, &sentTo);
  ContactRecord target;
  const bool hasTarget = msg && parts_.contacts.CopyRecord(msg->TO, &target);
  const std::int32_t me = parts_.agent.AgentId();

  std::string notice = kNoticeSendFailed;
  if (sentTo.kind == kContactKindAgent) {
    if (message.RESULT == kResultPeerOffline) notice = kNoticeAgentOffline;
    if (message.RESULT == kResultServerNotice) notice = RemoveForeignPictures(msg ? msg->BODY : std::string()) + "\n";
  } else if (message.RESULT == kResultPeerOffline) {
    notice = kNoticeVisitorOffline;
    if (hasTarget) {
      parts_.contacts.Update(target.id, [](ContactRecord& record) { record.state = kVisitorStateLeft; });
      parts_.view.RepaintTalkList();
    }
  } else if (message.RESULT == kResultTalkEnded) {
    if (hasTarget && target.state == kVisitorStateEnded && target.agentId == me) {
      notice = kNoticeVisitorEnded;
    } else {
      // Without the returned body the visitor's own record names the agent.
      const std::int32_t holder = hasTarget ? target.agentId : sentTo.agentId;
      notice = VisitorMovedNotice(AgentNameOrDefault(holder, parts_.names));
    }
    if (hasTarget) {
      parts_.contacts.Update(target.id, [&](ContactRecord& record) {
        if (record.state == kVisitorStateLeft) record.state = kVisitorStateIdle;
        if (record.state != kVisitorStateEnded && record.agentId == me) record.agentId = 0;
      });
      parts_.view.RepaintTalkList();
    }
  }

  const std::string line = NoticeLine(notice);
  entry->text += line;
  store_.MarkReported(entry);
  // Stored whether or not the conversation is shown, so that after a
  // restart the send does not read as delivered.
  if (parts_.store) parts_.store(entry->recordId, line, true);
  if (entry->recordId == selectedId_) parts_.view.AppendTranscript(line);
}

void ChatConversations::RefreshMemberInfo(const ContactRecord& visitor) {
  Msg msg;
  msg.account = parts_.agent.Triple().account;
  msg.FROM = visitor.id;
  msg.FROM_TYPE = WireKind(visitor.kind);
  Message message(true);
  message.command = kCommandRefreshMemberInfo;
  message.setBody(&msg);
  if (parts_.send) parts_.send(message);
  KLOG_AS(kLogInfo, kMemberInfoFunction, "刷新访客[USER_ID=%d MESSAGE_ID=%lld]信息", visitor.id,
          static_cast<long long>(message.MESSAGE_ID));
}

void ChatConversations::OnMemberInfo(const Message& message) {
  const Msg* msg = message.bodyAs<Msg>();
  const auto messageId = static_cast<long long>(message.MESSAGE_ID);
  if (message.RESULT != 0 || !msg) {
    KLOG_AS(kLogInfo, kMemberInfoFunction, "刷新访客[MESSAGE_ID=%lld]信息失败[RESULT=%d]", messageId, message.RESULT);
    return;
  }
  Json::Value body;
  if (!ParseJsonBody(msg->BODY, &body) || !body.isObject()) {
    KLOG_AS(kLogWarning, kMemberInfoFunction, "刷新访客[USER_ID=%d MESSAGE_ID=%lld]信息不可用：%s", msg->FROM,
            messageId, msg->BODY.c_str());
    return;
  }
  const Json::Value& idValue = JsonMember(body, kVisitorKeyId);
  if (idValue.isInt()) {
    const std::int32_t id = JsonInt(idValue);
    const bool known = parts_.contacts.Update(id, [&](ContactRecord& record) {
      if (record.state == kVisitorStateLeft) record.state = kVisitorStateIdle;
      const std::pair<const char*, std::string ContactRecord::*> texts[] = {
          {kVisitorKeyArea, &ContactRecord::area},
          {kVisitorKeySource, &ContactRecord::source},
          {kVisitorKeyCurrentPage, &ContactRecord::currentPage},
          {kVisitorKeyPageTitle, &ContactRecord::pageTitle},
          {kVisitorKeyIp, &ContactRecord::ip},
          {kVisitorKeyTime, &ContactRecord::onlineTime},
      };
      for (const auto& [key, field] : texts) {
        const Json::Value& value = JsonMember(body, key);
        if (value.isString()) record.*field = JsonNarrow(value);
      }
      const Json::Value& agentValue = JsonMember(body, kVisitorKeyAgentId);
      if (agentValue.isInt()) record.agentId = JsonInt(agentValue);
    });
    if (known && id == selectedId_) parts_.view.ShowVisitorCard(id);
  }
  KLOG_AS(kLogInfo, kMemberInfoFunction, "刷新访客[USER_ID=%d MESSAGE_ID=%lld]信息成功：%s", msg->FROM, messageId,
          msg->BODY.c_str());
}

void ChatConversations::OpenConversation(std::int32_t recordId) {
  ContactRecord record;
  if (!parts_.contacts.CopyRecord(recordId, &record)) return;
  parts_.view.ShowVisitorCard(recordId);
  if (record.kind == kContactKindVisitor) RefreshMemberInfo(record);
  const std::int32_t remembered = record.unread;
  parts_.contacts.Update(recordId, [](ContactRecord& r) { r.unread = 0; });
  parts_.neighbours.RefreshSessions();

  if (!store_.HasList(recordId)) {
    SaveDraftOfSelected();
    parts_.view.SetTitle(ConversationTitle(record.kind, record.name));
    parts_.view.ClearTranscript();
    parts_.view.ClearInput();
    store_.CreateList(recordId);
    talks_.AddTalk(recordId, true);
    parts_.view.RepaintTalkList();
  } else if (recordId != selectedId_) {
    parts_.view.SetTitle(ConversationTitle(record.kind, record.name));
    SaveDraftOfSelected();
    parts_.view.ClearInput();
    const std::optional<std::string> draft = store_.Draft(recordId);
    if (draft && !draft->empty()) parts_.view.AppendInput(*draft);
    ShowLastEntries(recordId, remembered);
    SelectInColumn(recordId);
  } else {
    SelectInColumn(recordId);
  }
  parts_.view.FocusInput();
  selectedId_ = recordId;
  selectedKind_ = record.kind;
}

void ChatConversations::SaveDraftOfSelected() {
  // Always, empty included: a draft that was sent or deleted must not come
  // back on the next switch.
  if (selectedId_ != 0) store_.SetDraft(selectedId_, parts_.view.ReadInputMarkup());
}

void ChatConversations::ShowLastEntries(std::int32_t recordId, std::int32_t unread) {
  const std::size_t wanted = std::max(static_cast<std::size_t>(std::max(unread, 0)), kShownEntries);
  const std::size_t count = std::min(store_.Length(recordId), wanted);
  parts_.view.ShowTranscript(store_.LastEntries(recordId, count));
}

void ChatConversations::SelectInColumn(std::int32_t recordId) {
  const int row = talks_.FindTalk(recordId);
  if (row != TalkList::kNone) {
    talks_.Select(row);
  } else {
    talks_.AddTalk(recordId, true);
  }
  parts_.view.RepaintTalkList();
}

void ChatConversations::Reselect() {
  if (selectedId_ != 0) OpenConversation(selectedId_);
}

void ChatConversations::OnTalkListClick(int row, int area) { Follow(talks_.Click(row, area)); }

void ChatConversations::CloseSelected() { Follow(talks_.Close(talks_.Selected())); }

void ChatConversations::Follow(const TalkList::ClickOutcome& outcome) {
  parts_.view.RepaintTalkList();
  switch (outcome.kind) {
    case TalkList::ClickOutcome::Kind::Open: OpenConversation(outcome.recordId); break;
    case TalkList::ClickOutcome::Kind::LastClosed: parts_.view.HideWindow(); break;
    case TalkList::ClickOutcome::Kind::Nothing: break;
  }
}

void ChatConversations::AppendTranscriptEntry(std::int32_t recordId, const std::string& markup, bool incoming,
                                              std::int64_t messageId) {
  if (AppendEntry(recordId, markup, incoming, messageId) && recordId == selectedId_) {
    parts_.view.AppendTranscript(markup);
  }
}

TranscriptEntry* ChatConversations::AppendEntry(std::int32_t recordId, std::string text, bool incoming,
                                                std::int64_t messageId) {
  ContactRecord record;
  if (!parts_.contacts.CopyRecord(recordId, &record)) return nullptr;
  if (parts_.store) parts_.store(recordId, text, incoming);
  return store_.Append(recordId, record.unread, std::move(text), incoming, messageId);
}

void ChatConversations::LoadTodayConversations() {
  if (historyLoaded_) return;
  historyLoaded_ = true;
  std::vector<std::unique_ptr<ContactRecord>> records;
  if (!parts_.history.records || !parts_.history.records(&records)) return;
  for (auto& loaded : records) {
    const std::int32_t id = loaded->id;
    std::vector<std::string> newestFirst;
    if (!parts_.history.bodies || !parts_.history.bodies(id, &newestFirst) || newestFirst.empty()) continue;
    if (!parts_.contacts.Contains(id)) {
      loaded->state = kVisitorStateLeft;
      parts_.contacts.Enter(std::move(loaded));
    }
    parts_.neighbours.AddSession(id);
    ContactRecord record;
    parts_.contacts.CopyRecord(id, &record);
    for (auto body = newestFirst.rbegin(); body != newestFirst.rend(); ++body) {
      store_.Append(id, record.unread, std::move(*body), true, 0);
    }
    KLOG_INFO("载入今日会话：USER_ID=%d 条数=%zu", id, newestFirst.size());
  }
}

void ChatConversations::SetSendKeyType(std::int32_t type) {
  std::int32_t agentId = 0;
  parts_.agent.Update([&](AgentRecord& record) {
    record.sendKeyType = type;
    agentId = record.triple.agentId;
  });
  if (parts_.saveSendKey && !parts_.saveSendKey(agentId, type)) {
    KLOG_WARN("保存发送键失败：uid=%d type=%d", agentId, type);
  }
}

}  // namespace kanzo
