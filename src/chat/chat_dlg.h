#pragma once
// The one window in which the agent holds every conversation: the column of
// open conversations on the left, the title, transcript, tool row, input and
// buttons in the middle, the visitor card and the common-message tree on the
// right. What happens to lines, drafts and records lives in
// ChatConversations; this class shows strings, reads the input and forwards
// clicks. It enters itself in the window registry as "ChatDlg" and
// registers with the dispatcher for the chat line, visitor details,
// call-back and chat notice commands.
#include <QDialog>
#include <QPointer>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "chat/call_back.h"
#include "chat/chat_conversations.h"
#include "chat/quick_lists.h"
#include "platform/qt/window_timers.h"
#include "platform/window_message.h"
#include "windows/window_context.h"
#include "windows/window_links.h"
#include "workspace/bubble_notify_dlg.h"

class QLabel;
class QMenu;
class QPushButton;

namespace kanzo {

class CFaceDialog;
class HighLightButton;
class IconTextButton;
class QuickMessageTreeCtrl;
class RichEdit;
class StoreTalkMessageTread;
class TalkListBox;
class WindowFactories;
class UserInfoView;

// Control ids of the chat window.
inline constexpr int kChatTitleId = 1001;
inline constexpr int kChatTranscriptId = 1002;
inline constexpr int kChatInputId = 1003;
inline constexpr int kChatFaceButtonId = 1004;
inline constexpr int kChatFontButtonId = 1005;
inline constexpr int kChatQuickButtonId = 1006;
inline constexpr int kChatHistoryButtonId = 1007;
inline constexpr int kChatCloseButtonId = 1008;
inline constexpr int kChatSendButtonId = 1009;
inline constexpr int kChatSendKeyButtonId = 1010;
inline constexpr int kChatRefreshButtonId = 1011;
inline constexpr int kChatAddButtonId = 1012;

// Send-key menu commands.
inline constexpr int kCommandSendByEnter = 32801;
inline constexpr int kCommandSendByCtrlEnter = 32802;

class ChatDlg final : public QDialog,
                      public platform::Window,
                      public ChatWindowLink,
                      private ChatView,
                      private ChatNeighbours {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 745;
  static constexpr int kClientHeight = 542;
  static constexpr int kMinWidth = 740;
  static constexpr int kMinHeight = 510;
  static constexpr int kInputCharacterLimit = 1024;
  static constexpr std::uint32_t kTimerRepaint = 1;
  static constexpr int kRepaintCheckMs = 100;

  ChatDlg(QWidget* parent, WindowContext& context);
  ~ChatDlg() override;

  // ChatWindowLink
  void RepaintTalkList() override;
  void LoadQuickMessage(const Json::Value& root) override;
  void LoadTodayConversations() override;
  void OpenConversation(std::int32_t id) override;
  void AppendTranscriptEntry(std::int32_t id, const std::string& displayMarkup, bool incoming,
                             std::int64_t messageId) override;
  void ReloadQuickLists() override;
  bool IsTalkListed(std::int32_t id) override;

  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;
  void OnTimer(std::uint32_t timerId) override;

  // The containers of the right-hand column: the visitor card fills the
  // first, the common-message tree the second.
  QWidget* VisitorCardArea() const { return cardArea_; }
  QWidget* QuickTreeArea() const { return treeArea_; }
  UserInfoView* VisitorCard() const { return card_; }
  QuickMessageTreeCtrl* QuickTree() const { return quickTree_; }

  // The emoticon picker above the face button, made on first use.
  void ShowFacePicker();
  CFaceDialog* FacePicker() const { return facePicker_; }
  // The quick messages as the "快捷消息" menu would list them now (the
  // caller owns it), and a chosen entry (3025, 3026, ...) put in the input.
  std::unique_ptr<QMenu> BuildQuickMenu();
  void ChooseQuickMessage(int command);
  // Asks the server to ring `number` back (a confirmed transcript link).
  std::int64_t CallPhone(const std::string& number);

  // The send-key menu as it would open now (the caller owns it).
  std::unique_ptr<QMenu> BuildSendKeyMenu();
  void ChooseSendKey(int command);

  ChatConversations& Conversations() { return *conversations_; }
  RichEdit* Transcript() const { return transcript_; }
  RichEdit* Input() const { return input_; }
  TalkListBox* TalkColumn() const { return talkList_; }
  QWidget* Control(int id) const;
  QString TitleText() const;
  BubbleNotifyDlg* Bubble() const { return bubble_; }
  std::int32_t CardRecordId() const { return cardRecordId_; }
  platform::WindowTimers& Timers() { return timers_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;
  void accept() override;

 private:
  // ChatView
  std::string ReadInputMarkup() override;
  std::string ReadInputWire() override;
  void ClearInput() override;
  void AppendInput(const std::string& markup) override;
  void FocusInput() override;
  void SetTitle(const std::string& title) override;
  void ClearTranscript() override;
  void AppendTranscript(const std::string& markup) override;
  void ShowTranscript(std::vector<std::string> entries) override;
  void ShowVisitorCard(std::int32_t recordId) override;
  bool IsShownNormal() const override;
  void ShowAndRaise() override;
  void HideWindow() override;
  void ShowBubble(const std::string& title, const std::string& text, std::int32_t senderId,
                  bool senderChanged) override;
  // ChatNeighbours
  void ChatLineArrived(const ChatLineNotice& notice) override;
  bool AddOnlineVisitor(const ContactRecord& record) override;
  void SessionNotice(const Msg& notice) override;
  void RefreshSessions() override;
  void AddSession(std::int32_t recordId) override;
  void ColleagueUnread() override;

  void BuildControls();
  void PlaceControls();
  void OnNetworkMessage(std::unique_ptr<Message> message);
  void ShowSendKeyMenu();
  void ApplySendKey();
  void ShowQuickMenu();
  void PutStockReply(const std::string& text);

  WindowContext& context_;
  platform::WindowTimers timers_;
  std::unique_ptr<StoreTalkMessageTread> storeThread_;
  std::unique_ptr<ChatConversations> conversations_;

  TalkListBox* talkList_ = nullptr;
  QLabel* title_ = nullptr;
  RichEdit* transcript_ = nullptr;
  HighLightButton* faceButton_ = nullptr;
  HighLightButton* fontButton_ = nullptr;
  IconTextButton* quickButton_ = nullptr;
  IconTextButton* historyButton_ = nullptr;
  RichEdit* input_ = nullptr;
  QPushButton* closeButton_ = nullptr;
  QPushButton* sendButton_ = nullptr;
  QPushButton* sendKeyButton_ = nullptr;
  QWidget* cardArea_ = nullptr;
  QLabel* treeCaption_ = nullptr;
  HighLightButton* refreshButton_ = nullptr;
  HighLightButton* addButton_ = nullptr;
  QWidget* treeArea_ = nullptr;
  UserInfoView* card_ = nullptr;
  QuickMessageTreeCtrl* quickTree_ = nullptr;
  CFaceDialog* facePicker_ = nullptr;
  QPointer<BubbleNotifyDlg> bubble_;

  QuickLists quickLists_;
  std::unique_ptr<PhoneCallBack> callBack_;
  std::int32_t cardRecordId_ = 0;
  QSize lastSize_;
  // Lines that arrive while a line is being appended (a message box about
  // a picture runs its own event loop) wait for it to end.
  bool appending_ = false;
  std::deque<std::string> waitingLines_;
};

// Installs the factory of the chat window. The application makes it once
// (WindowFactories::ApplicationWindow) and destroys it at exit, after the
// network and before the records: its store thread stores every line first.
void InstallChatWindowFactory(WindowFactories& factories);

}  // namespace kanzo
