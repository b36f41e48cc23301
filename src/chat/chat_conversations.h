#pragma once
// The chat window's logic without the window: sending, receiving, send
// failures, switching conversations with their drafts, visitor details,
// today's history and the announcement of new lines. The window implements
// ChatView (what is shown and typed); ChatNeighbours reaches the other
// windows; lines for the database go to a LineStore. Everything runs on the
// user-interface thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chat/talk_list.h"
#include "chat/transcript_store.h"
#include "protocol/message.h"
#include "protocol/msg.h"
#include "records/agent_record.h"
#include "records/contact_table.h"
#include "records/name_table.h"
#include "windows/client_vocabulary.h"
#include "windows/window_links.h"

namespace kanzo {

// What the chat window shows and reads.
class ChatView {
 public:
  virtual ~ChatView() = default;
  // The input as display markup and as wire text, read without limit.
  virtual std::string ReadInputMarkup() = 0;
  virtual std::string ReadInputWire() = 0;
  virtual void ClearInput() = 0;
  virtual void AppendInput(const std::string& markup) = 0;
  virtual void FocusInput() = 0;
  virtual void SetTitle(const std::string& title) = 0;
  virtual void ClearTranscript() = 0;
  virtual void AppendTranscript(const std::string& markup) = 0;
  // Replaces the transcript with `entries`, oldest first.
  virtual void ShowTranscript(std::vector<std::string> entries) = 0;
  // The visitor card shows `recordId` (and is redrawn).
  virtual void ShowVisitorCard(std::int32_t recordId) = 0;
  virtual void RepaintTalkList() = 0;
  // Shown and not minimised.
  virtual bool IsShownNormal() const = 0;
  virtual void ShowAndRaise() = 0;
  virtual void HideWindow() = 0;
  // The bubble for `senderId`; `senderChanged` when the last one was another.
  virtual void ShowBubble(const std::string& title, const std::string& text, std::int32_t senderId,
                          bool senderChanged) = 0;
};

// The other windows, as the chat window tells them things. Each call does
// nothing when its window is absent.
class ChatNeighbours {
 public:
  virtual ~ChatNeighbours() = default;
  // "MainDlg": a chat line arrived (sound, taskbar).
  virtual void ChatLineArrived(const ChatLineNotice& notice) = 0;
  // "OnlineDlg": enter or update a visitor; false when there is no such pane.
  virtual bool AddOnlineVisitor(const ContactRecord& record) = 0;
  // "SessionDlg": a notice as the main window would pass it (a Msg copy).
  virtual void SessionNotice(const Msg& notice) = 0;
  // "SessionDlg": a record's last line, time or unread changed.
  virtual void RefreshSessions() = 0;
  // "SessionDlg": list the record among the conversations.
  virtual void AddSession(std::int32_t recordId) = 0;
  // "ContactDlg": a colleague's unread went from 0 to 1.
  virtual void ColleagueUnread() = 0;
};

// Where each transcript line goes to be stored (the store thread): the
// record, the text, and whether the record sent it.
using LineStore = std::function<void(std::int32_t recordId, const std::string& text, bool incoming)>;
// Hands a request to the dispatcher; the result of the send.
using RequestSender = std::function<int(Message&)>;
// Today's stored conversations of this login (records, then their bodies).
struct TodayHistory {
  std::function<bool(std::vector<std::unique_ptr<ContactRecord>>*)> records;
  std::function<bool(std::int32_t recordId, std::vector<std::string>* newestFirst)> bodies;
};
// Stores the send-key choice for the agent; false when it failed.
using SendKeySaver = std::function<bool(std::int32_t agentId, std::int32_t type)>;

class ChatConversations {
 public:
  struct Parts {
    ContactTable& contacts;
    NameTable& names;
    SharedAgentRecord& agent;
    ChatView& view;
    ChatNeighbours& neighbours;
    RequestSender send;
    LineStore store;
    TodayHistory history;
    SendKeySaver saveSendKey;
  };

  explicit ChatConversations(Parts parts);

  // The send button or the send key.
  void Send();
  // A command-11 message from the server: a line, or the failure of a send.
  void OnChatMessage(const Message& message);
  // The answer to a visitor-details request.
  void OnMemberInfo(const Message& message);

  // Opens the conversation with `recordId`, as the lists, the bubble and
  // the column ask.
  void OpenConversation(std::int32_t recordId);
  // The window came back to its normal size: the shown conversation is
  // taken again (which clears its unread).
  void Reselect();
  // A click in the conversation column.
  void OnTalkListClick(int row, int area);
  // "关闭(&C)": the column closes the selected row.
  void CloseSelected();

  // Appends an entry to the record's transcript (the session list's
  // offline messages and guestbook entries come this way).
  void AppendTranscriptEntry(std::int32_t recordId, const std::string& markup, bool incoming, std::int64_t messageId);

  // Loads today's stored conversations, once.
  void LoadTodayConversations();

  // The agent chose the send key (1 Enter, 0 Ctrl+Enter).
  void SetSendKeyType(std::int32_t type);

  std::int32_t SelectedId() const { return selectedId_; }
  TalkList& Talks() { return talks_; }
  const TranscriptStore& Store() const { return store_; }

 private:
  void Receive(const Message& message, const Msg& msg);
  void OnSendFailure(const Message& message);
  void RefreshMemberInfo(const ContactRecord& visitor);
  // Appends to the transcript of a record in the contact table and stores
  // the line; nullptr when the record is unknown.
  TranscriptEntry* AppendEntry(std::int32_t recordId, std::string text, bool incoming, std::int64_t messageId);
  void SaveDraftOfSelected();
  void ShowLastEntries(std::int32_t recordId, std::int32_t unread);
  void SelectInColumn(std::int32_t recordId);
  void Follow(const TalkList::ClickOutcome& outcome);
  void Announce(std::int32_t senderId, const std::string& shortName, const std::string& body);
  // Enters a colleague the contact table does not know yet.
  void EnterColleague(std::int32_t agentId);
  void EnterVisitor(std::int32_t visitorId, std::int32_t agentId);
  std::int64_t Now() const;

  Parts parts_;
  TranscriptStore store_;
  TalkList talks_;
  std::int32_t selectedId_ = 0;
  std::int32_t selectedKind_ = 0;
  std::int32_t bubbleSenderId_ = 0;
  bool historyLoaded_ = false;
};

}  // namespace kanzo
