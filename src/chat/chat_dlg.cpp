#include "chat/chat_dlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>

#include "chat/face_dialog.h"
#include "chat/quick_message_menu.h"
#include "chat/quick_message_tree_ctrl.h"
#include "chat/quick_msg_edit_dlg.h"
#include "chat/quick_requests.h"
#include "chat/rich_edit.h"
#include "chat/talk_list_box.h"
#include "controls/high_light_button.h"
#include "controls/icon_text_button.h"
#include "controls/skin_kit.h"
#include "db/db_manager.h"
#include "db/store_talk_message_tread.h"
#include "details/user_info_view.h"
#include "log/cx_log.h"
#include "net/network_future.h"
#include "net/network_startup.h"
#include "net/window_network_future.h"
#include "platform/program_folder.h"
#include "platform/qt/qt_text.h"
#include "platform/window_message.h"
#include "protocol/commands.h"
#include "windows/client_vocabulary.h"
#include "windows/network_vocabulary.h"
#include "workspace/bubble_notify_dlg.h"
#include "workspace/main_workspace.h"
#include "workspace/window_factories.h"

namespace kanzo {
namespace {

constexpr const char* kCaption = "聊天窗口";
constexpr const char* kCloseText = "关闭(&C)";
constexpr const char* kSendText = "发送(&S)";
constexpr const char* kSendKeyText = "∨";
constexpr const char* kQuickText = "快捷消息";
constexpr const char* kHistoryText = "聊天记录";
constexpr const char* kTreeCaption = "常用语";
constexpr const char* kSendByEnterText = "按Enter键发送消息";
constexpr const char* kSendByCtrlEnterText = "按Ctrl+Enter组合键发送消息";
constexpr const char* kFacePicture = "\\Images\\Face";
constexpr const char* kFontPicture = "\\Images\\Font";
constexpr const char* kMessageIcon = "\\Images\\MessageIcon";
constexpr const char* kRefreshPicture = "\\Images\\Refresh";
constexpr const char* kAddPicture = "\\Images\\AddQuickMessage";
constexpr const char* kFaceFolder = "face/";

constexpr SkinKit::Colour kTextColour = 0x333333;
constexpr SkinKit::Colour kButtonFace = 0xF6F6F6;
constexpr SkinKit::Colour kGround = 0xFAFAFA;
constexpr SkinKit::Colour kEditGround = 0xFFFFFF;
constexpr SkinKit::Colour kCardGround = 0xFAFAFA;

// Geometry of the window, in client pixels.
constexpr int kColumnWidth = 150;
constexpr int kRightWidth = 200;
constexpr int kTitleInset = 10;
constexpr int kTitleTop = 8;
constexpr int kTitleHeight = 20;
constexpr int kTranscriptTop = 34;
constexpr int kTranscriptBottomGap = 168;
constexpr int kToolRowBottomGap = 164;
constexpr int kToolButtonEdge = 24;
constexpr int kToolGap = 4;
constexpr int kInputBottomGap = 136;
constexpr int kInputHeight = 96;
constexpr int kButtonBottomGap = 34;
constexpr int kButtonHeight = 26;
constexpr int kButtonWidth = 70;
constexpr int kSendKeyWidth = 22;
constexpr int kButtonGap = 8;
constexpr int kCardHeight = 260;
constexpr int kTreeCaptionTop = 266;
constexpr int kTreeTop = 290;
constexpr int kSmallButtonEdge = 22;

// Faces live beside the pictures, in the program folder.
std::string FaceFolder() {
  const std::string pictures = SkinKit::PictureFolder();
  return (pictures.empty() ? platform::ProgramFolder() : pictures) + kFaceFolder;
}

QColor Colour(SkinKit::Colour colour) { return SkinKit::ToQColor(colour); }

void Paint(QWidget* widget, SkinKit::Colour ground, SkinKit::Colour text) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, Colour(ground));
  palette.setColor(QPalette::Base, Colour(ground));
  palette.setColor(QPalette::Button, Colour(ground));
  palette.setColor(QPalette::WindowText, Colour(text));
  palette.setColor(QPalette::Text, Colour(text));
  palette.setColor(QPalette::ButtonText, Colour(text));
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

template <typename T>
T* Named(T* widget, int id) {
  widget->setObjectName(QString::number(id));
  return widget;
}

}  // namespace

ChatDlg::ChatDlg(QWidget* parent, WindowContext& context)
    : QDialog(parent, Qt::Window),
      context_(context),
      timers_(*this),
      storeThread_(std::make_unique<StoreTalkMessageTread>(context.records.contacts, context.records.agent)) {
  setWindowTitle(platform::FromNarrow(kCaption));
  Paint(this, kGround, kTextColour);
  BuildControls();

  ContactTable& contacts = context.records.contacts;
  SharedAgentRecord& agent = context.records.agent;
  conversations_ = std::make_unique<ChatConversations>(ChatConversations::Parts{
      contacts, context.records.names, agent, *this, *this, context.send,
      [this](std::int32_t id, const std::string& text, bool incoming) { storeThread_->Add(id, text, incoming); },
      TodayHistory{[&agent](std::vector<std::unique_ptr<ContactRecord>>* list) {
                     return DBManager::QueryCurrentDayUserInfoForList(agent.Triple(), list);
                   },
                   [&agent](std::int32_t id, std::vector<std::string>* bodies) {
                     return DBManager::QueryCurrentDayTalkMessageById(id, agent.Triple(), bodies);
                   }},
      [](std::int32_t agentId, std::int32_t type) {
        return DBManager::SaveSendMsgType(agentId, std::to_string(agentId), type);
      }});
  callBack_ = std::make_unique<PhoneCallBack>(context.send, [&agent] { return agent.Copy(); });

  talkList_ = new TalkListBox(conversations_->Talks(), contacts, this);
  talkList_->SetParentWindow(Id());
  talkList_->SetAgentId(agent.AgentId());

  storeThread_->start();
  WindowNetworkFuture::instance().registerWindow(
      {kCommandChatMessage, kCommandRefreshMemberInfo, kCommandCallPhone, kCommandChatNotice}, Id());
  context_.router.Enter(kChatWindowName, *this, static_cast<ChatWindowLink*>(this));

  setMinimumSize(kMinWidth, kMinHeight);
  resize(kClientWidth, kClientHeight);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - QPoint(kClientWidth / 2, kClientHeight / 2));
  }
  ApplySendKey();
  PlaceControls();
}

ChatDlg::~ChatDlg() {
  WindowNetworkFuture::instance().unregisterWindow(Id());
  context_.router.Leave(kChatWindowName, *this);
  delete bubble_.data();
  // Every line handed over is in the database before the records go.
  storeThread_->stop();
}

void ChatDlg::BuildControls() {
  title_ = Named(new QLabel(this), kChatTitleId);
  title_->setTextFormat(Qt::PlainText);

  transcript_ = Named(new RichEdit(this), kChatTranscriptId);
  transcript_->setReadOnly(true);
  transcript_->SetLinkReporting(true);
  transcript_->SetParentWindow(Id());
  transcript_->SetFaceFolder(FaceFolder());
  Paint(transcript_, kEditGround, kTextColour);

  faceButton_ = Named(new HighLightButton(this), kChatFaceButtonId);
  faceButton_->SetIcon(kFacePicture, HighLightButton::kIconTexture);
  fontButton_ = Named(new HighLightButton(this), kChatFontButtonId);
  fontButton_->SetIcon(kFontPicture, HighLightButton::kIconTexture);
  quickButton_ = Named(new IconTextButton(this), kChatQuickButtonId);
  quickButton_->SetIconText(kMessageIcon, platform::FromNarrow(kQuickText));
  historyButton_ = Named(new IconTextButton(this), kChatHistoryButtonId);
  historyButton_->SetIconText(kMessageIcon, platform::FromNarrow(kHistoryText));
  historyButton_->hide();

  input_ = Named(new RichEdit(this), kChatInputId);
  input_->SetParentWindow(Id());
  input_->SetCharacterLimit(kInputCharacterLimit);
  input_->SetFaceFolder(FaceFolder());
  Paint(input_, kEditGround, kTextColour);

  auto button = [this](const char* text, int id) {
    auto* made = Named(new QPushButton(platform::FromNarrow(text), this), id);
    made->setAutoDefault(false);
    made->setDefault(false);
    Paint(made, kButtonFace, kTextColour);
    return made;
  };
  closeButton_ = button(kCloseText, kChatCloseButtonId);
  sendButton_ = button(kSendText, kChatSendButtonId);
  sendKeyButton_ = button(kSendKeyText, kChatSendKeyButtonId);

  cardArea_ = new QWidget(this);
  Paint(cardArea_, kCardGround, kTextColour);
  card_ = new UserInfoView(cardArea_);
  card_->SetFill(kCardGround);
  treeCaption_ = new QLabel(platform::FromNarrow(kTreeCaption), this);
  treeCaption_->setTextFormat(Qt::PlainText);
  refreshButton_ = Named(new HighLightButton(this), kChatRefreshButtonId);
  refreshButton_->SetIcon(kRefreshPicture, HighLightButton::kIconTexture);
  addButton_ = Named(new HighLightButton(this), kChatAddButtonId);
  addButton_->SetIcon(kAddPicture, HighLightButton::kIconTexture);
  treeArea_ = new QWidget(this);
  Paint(treeArea_, kEditGround, kTextColour);
  quickTree_ = new QuickMessageTreeCtrl(treeArea_);
  quickTree_->SetPickHandler([this](const std::string& content) { PutStockReply(content); });

  connect(sendButton_, &QPushButton::clicked, this, [this] { conversations_->Send(); });
  connect(closeButton_, &QPushButton::clicked, this, [this] { talkList_->CloseSelected(); });
  connect(sendKeyButton_, &QPushButton::clicked, this, [this] { ShowSendKeyMenu(); });
  connect(fontButton_, &QAbstractButton::clicked, this, [this] { input_->OpenFontDialog(); });
  connect(faceButton_, &QAbstractButton::clicked, this, [this] { ShowFacePicker(); });
  connect(quickButton_, &QAbstractButton::clicked, this, [this] { ShowQuickMenu(); });
  connect(refreshButton_, &QAbstractButton::clicked, this, [this] { ReloadQuickLists(); });
  // The one editor, shared with the main window's button.
  connect(addButton_, &QAbstractButton::clicked, this, [this] { QuickMsgEditDlg::OpenShared(this, context_); });
}

void ChatDlg::PlaceControls() {
  const int w = width();
  const int h = height();
  const int middleRight = w - kRightWidth;
  const int middleWidth = middleRight - kColumnWidth;
  if (talkList_) talkList_->setGeometry(0, 0, kColumnWidth, h);
  title_->setGeometry(kColumnWidth + kTitleInset, kTitleTop, middleWidth - 2 * kTitleInset, kTitleHeight);
  transcript_->setGeometry(kColumnWidth, kTranscriptTop, middleWidth, h - kTranscriptBottomGap - kTranscriptTop);

  const int toolTop = h - kToolRowBottomGap;
  int x = kColumnWidth + kToolGap;
  faceButton_->setGeometry(x, toolTop, kToolButtonEdge, kToolButtonEdge);
  x += kToolButtonEdge + kToolGap;
  fontButton_->setGeometry(x, toolTop, kToolButtonEdge, kToolButtonEdge);
  x += kToolButtonEdge + kToolGap;
  quickButton_->move(x, toolTop);
  quickButton_->resize(quickButton_->sizeHint().width(), kToolButtonEdge);
  historyButton_->move(x + quickButton_->width() + kToolGap, toolTop);

  input_->setGeometry(kColumnWidth, h - kInputBottomGap, middleWidth, kInputHeight);
  const int buttonTop = h - kButtonBottomGap;
  int right = middleRight - kButtonGap;
  sendKeyButton_->setGeometry(right - kSendKeyWidth, buttonTop, kSendKeyWidth, kButtonHeight);
  right -= kSendKeyWidth;
  sendButton_->setGeometry(right - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight);
  right -= kButtonWidth + kButtonGap;
  closeButton_->setGeometry(right - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight);

  cardArea_->setGeometry(middleRight, 0, kRightWidth, kCardHeight);
  treeCaption_->setGeometry(middleRight + kTitleInset, kTreeCaptionTop, kRightWidth / 2, kTitleHeight);
  addButton_->setGeometry(w - kSmallButtonEdge - kToolGap, kTreeCaptionTop, kSmallButtonEdge, kSmallButtonEdge);
  refreshButton_->setGeometry(w - 2 * (kSmallButtonEdge + kToolGap), kTreeCaptionTop, kSmallButtonEdge,
                              kSmallButtonEdge);
  treeArea_->setGeometry(middleRight, kTreeTop, kRightWidth, h - kTreeTop);
  for (QWidget* child : treeArea_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    child->setGeometry(treeArea_->rect());
  }
  for (QWidget* child : cardArea_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    child->setGeometry(cardArea_->rect());
  }
}

void ChatDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  PlaceControls();
  // Repainted once the size has stayed the same over one tick.
  timers_.SetTimer(kTimerRepaint, kRepaintCheckMs);
}

void ChatDlg::OnTimer(std::uint32_t timerId) {
  if (timerId != kTimerRepaint) return;
  if (size() != lastSize_) {
    lastSize_ = size();
    return;
  }
  timers_.KillTimer(kTimerRepaint);
  update();
}

void ChatDlg::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  const Qt::WindowStates states = windowState();
  if (!(states & (Qt::WindowMinimized | Qt::WindowMaximized)) && isVisible()) conversations_->Reselect();
}

void ChatDlg::closeEvent(QCloseEvent* event) {
  event->ignore();
  hide();
}

void ChatDlg::reject() { hide(); }

void ChatDlg::accept() {
  // Enter on the default button does nothing: the input sends by its key.
}

QWidget* ChatDlg::Control(int id) const { return findChild<QWidget*>(QString::number(id)); }

QString ChatDlg::TitleText() const { return title_->text(); }

// ChatWindowLink

void ChatDlg::RepaintTalkList() {
  platform::CheckUiThread("ChatDlg::RepaintTalkList");
  talkList_->update();
}

void ChatDlg::LoadQuickMessage(const Json::Value& root) {
  platform::CheckUiThread("ChatDlg::LoadQuickMessage");
  const QuickListsChange change = quickLists_.Set(root);
  // The menu is built from the kept texts each time it opens.
  if (change.tree) quickTree_->Load(quickLists_.Categories());
}

void ChatDlg::LoadTodayConversations() {
  platform::CheckUiThread("ChatDlg::LoadTodayConversations");
  conversations_->LoadTodayConversations();
}

void ChatDlg::OpenConversation(std::int32_t id) {
  platform::CheckUiThread("ChatDlg::OpenConversation");
  conversations_->OpenConversation(id);
  ShowAndRaise();
}

void ChatDlg::AppendTranscriptEntry(std::int32_t id, const std::string& displayMarkup, bool incoming,
                                    std::int64_t messageId) {
  platform::CheckUiThread("ChatDlg::AppendTranscriptEntry");
  conversations_->AppendTranscriptEntry(id, displayMarkup, incoming, messageId);
}

void ChatDlg::ReloadQuickLists() {
  platform::CheckUiThread("ChatDlg::ReloadQuickLists");
  // The answer goes to the main window, which hands it back here.
  Msg msg = QuickListsRequest(context_.records.agent.Copy());
  Message message(true);
  message.command = kCommandGetQuickMessage;
  message.setBody(&msg);
  KLOG_INFO("正在加载快捷消息...");
  context_.send(message);
}

bool ChatDlg::IsTalkListed(std::int32_t id) {
  platform::CheckUiThread("ChatDlg::IsTalkListed");
  return conversations_->Talks().FindTalk(id) != TalkList::kNone;
}

// Window messages

platform::MessageResult ChatDlg::OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                                 platform::LParam lParam) {
  switch (message) {
    case kNetworkWindowMessage:
      if (wParam == kNetworkEventMessage) OnNetworkMessage(platform::TakePayload(kNetworkMessage, lParam));
      break;
    case kMsgTalkChosen:
      if (wParam == 0 && lParam == kTalkLastClosed) {
        hide();
      } else {
        conversations_->OpenConversation(static_cast<std::int32_t>(wParam));
        FocusInput();
      }
      break;
    case kMsgSendKeyPressed: conversations_->Send(); break;
    case kMsgCallPhone:
      if (wParam == kCallPhoneRequest && lParam != 0) CallPhone(*platform::BorrowPayload(kCallPhone, lParam));
      break;
    default: break;
  }
  return 0;
}

void ChatDlg::OnNetworkMessage(std::unique_ptr<Message> message) {
  if (!message) return;
  switch (message->command) {
    case kCommandChatMessage: conversations_->OnChatMessage(*message); break;
    case kCommandRefreshMemberInfo: conversations_->OnMemberInfo(*message); break;
    case kCommandCallPhone: callBack_->OnAnswer(*message); break;
    default:
      // The chat notice has no handler here.
      KLOG_INFO("聊天窗口收到命令：%d RESULT=%d", message->command, message->RESULT);
      break;
  }
}

// Send key

std::unique_ptr<QMenu> ChatDlg::BuildSendKeyMenu() {
  auto menu = std::make_unique<QMenu>();
  const std::int32_t current = context_.records.agent.Copy().sendKeyType;
  QAction* enter = menu->addAction(platform::FromNarrow(kSendByEnterText));
  enter->setData(kCommandSendByEnter);
  enter->setCheckable(true);
  enter->setChecked(current == static_cast<int>(SendKeyMode::Enter));
  QAction* ctrlEnter = menu->addAction(platform::FromNarrow(kSendByCtrlEnterText));
  ctrlEnter->setData(kCommandSendByCtrlEnter);
  ctrlEnter->setCheckable(true);
  ctrlEnter->setChecked(current != static_cast<int>(SendKeyMode::Enter));
  return menu;
}

void ChatDlg::ShowSendKeyMenu() {
  std::unique_ptr<QMenu> menu = BuildSendKeyMenu();
  if (QAction* chosen = menu->exec(sendKeyButton_->mapToGlobal(QPoint(0, sendKeyButton_->height())))) {
    ChooseSendKey(chosen->data().toInt());
  }
}

void ChatDlg::ChooseSendKey(int command) {
  if (command != kCommandSendByEnter && command != kCommandSendByCtrlEnter) return;
  conversations_->SetSendKeyType(
      static_cast<std::int32_t>(command == kCommandSendByEnter ? SendKeyMode::Enter : SendKeyMode::CtrlEnter));
  ApplySendKey();
}

void ChatDlg::ApplySendKey() {
  const bool enter = context_.records.agent.Copy().sendKeyType == static_cast<int>(SendKeyMode::Enter);
  input_->SetSendKeyMode(enter ? SendKeyMode::Enter : SendKeyMode::CtrlEnter);
}

// Stock replies, emoticons and the call-back

void ChatDlg::ShowFacePicker() {
  if (!facePicker_) {
    facePicker_ = new CFaceDialog(FaceFolder(), this);
    facePicker_->SetPickHandler([this](const std::string& path) {
      input_->InsertPicture(path, false);
      input_->setFocus();
    });
  }
  facePicker_->ShowAbove(faceButton_);
}

std::unique_ptr<QMenu> ChatDlg::BuildQuickMenu() {
  // No parent: the caller owns it and may keep it past the window.
  return BuildQuickMessageMenu(quickLists_.QuickTexts(), nullptr);
}

void ChatDlg::ShowQuickMenu() {
  const int index = PickQuickMessage(quickLists_.QuickTexts(), quickButton_);
  if (index >= 0) ChooseQuickMessage(kFirstQuickMenuCommand + index);
}

void ChatDlg::ChooseQuickMessage(int command) {
  const std::vector<std::string>& texts = quickLists_.QuickTexts();
  const int index = command - kFirstQuickMenuCommand;
  if (index < 0 || index >= static_cast<int>(texts.size())) return;
  PutStockReply(texts[static_cast<std::size_t>(index)]);
}

void ChatDlg::PutStockReply(const std::string& text) {
  // Server text: typed as it stands, never read as markup.
  input_->ReplaceWithPlainText(text);
  input_->setFocus();
}

std::int64_t ChatDlg::CallPhone(const std::string& number) { return callBack_->CallPhone(number); }

// ChatView

std::string ChatDlg::ReadInputMarkup() { return input_->ReadDisplayMarkup(); }
std::string ChatDlg::ReadInputWire() { return input_->ReadWireText(); }
void ChatDlg::ClearInput() { input_->clear(); }
void ChatDlg::AppendInput(const std::string& markup) { input_->AppendMarkup(markup); }
void ChatDlg::FocusInput() { input_->setFocus(); }
void ChatDlg::SetTitle(const std::string& title) { title_->setText(platform::FromNarrow(title)); }

void ChatDlg::ClearTranscript() {
  waitingLines_.clear();
  transcript_->ClearContent();
}

void ChatDlg::ShowTranscript(std::vector<std::string> entries) {
  waitingLines_.clear();
  transcript_->ShowEntries(std::move(entries));
}

void ChatDlg::AppendTranscript(const std::string& markup) {
  waitingLines_.push_back(markup);
  if (appending_) return;
  appending_ = true;
  while (!waitingLines_.empty()) {
    const std::string next = std::move(waitingLines_.front());
    waitingLines_.pop_front();
    transcript_->AppendMarkup(next);
  }
  appending_ = false;
}

void ChatDlg::ShowVisitorCard(std::int32_t recordId) {
  cardRecordId_ = recordId;
  // A copy: the card keeps no pointer into the table. Without a record it
  // shows only its frame.
  ContactRecord record;
  const bool known = recordId != 0 && context_.records.contacts.CopyRecord(recordId, &record);
  card_->SetRecord(known ? &record : nullptr);
}

bool ChatDlg::IsShownNormal() const { return isVisible() && !isMinimized(); }

void ChatDlg::ShowAndRaise() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

void ChatDlg::HideWindow() { hide(); }

void ChatDlg::ShowBubble(const std::string& title, const std::string& text, std::int32_t senderId, bool senderChanged) {
  if (!bubble_) {
    bubble_ = new BubbleNotifyDlg(context_.records.contacts, [this](std::int32_t id) { OpenConversation(id); });
  }
  bubble_->Show(senderId, senderChanged, title, text);
}

// ChatNeighbours

void ChatDlg::ChatLineArrived(const ChatLineNotice& notice) {
  const platform::WindowId main = context_.router.IdOf(kMainWindowName);
  if (main == platform::kNoWindow) return;
  platform::SendPayload(main, kChatLine, 0, std::make_unique<ChatLineNotice>(notice));
}

bool ChatDlg::AddOnlineVisitor(const ContactRecord& record) {
  auto* pane = context_.router.Find<OnlinePaneLink>(kOnlinePaneName);
  if (!pane) return false;
  pane->AddOrUpdate(record);
  return true;
}

void ChatDlg::SessionNotice(const Msg& notice) {
  const platform::WindowId pane = context_.router.IdOf(kSessionPaneName);
  if (pane == platform::kNoWindow) return;
  platform::SendPayload(pane, kPaneNoticeMsg, kPaneNotice, std::make_unique<Msg>(notice));
}

void ChatDlg::RefreshSessions() {
  const platform::WindowId pane = context_.router.IdOf(kSessionPaneName);
  if (pane != platform::kNoWindow) platform::SendWindowMessage(pane, kSessionRefreshMessage, kSessionRedraw, 0);
}

void ChatDlg::AddSession(std::int32_t recordId) {
  if (auto* pane = context_.router.Find<SessionPaneLink>(kSessionPaneName)) {
    pane->AddSession(recordId);
  }
}

void ChatDlg::ColleagueUnread() {
  const platform::WindowId pane = context_.router.IdOf(kContactPaneName);
  if (pane != platform::kNoWindow) platform::SendWindowMessage(pane, kUnreadColleagueMessage, kUnreadColleagueBlink, 0);
}

void InstallChatWindowFactory(WindowFactories& factories) {
  // The application owns the one chat window (WindowFactories::ApplicationWindow).
  factories.Set(kChatWindowName,
                [](QWidget* parent, WindowContext& context) -> QWidget* { return new ChatDlg(parent, context); });
}

}  // namespace kanzo
