#include "workspace/main_dlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCryptographicHash>
#include <QCursor>
#include <QDesktopServices>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>

#include "controls/high_light_button.h"
#include "controls/logo_panel.h"
#include "controls/segment.h"
#include "controls/signal_panel.h"
#include "controls/skin_kit.h"
#include "controls/state_button.h"
#include "log/cx_log.h"
#include "net/network_future.h"
#include "net/window_network_future.h"
#include "platform/qt/qt_text.h"
#include "platform/sound.h"
#include "platform/window_message.h"
#include "workspace/about_dlg.h"
#include "workspace/main_texts.h"
#include "workspace/main_workspace.h"

#ifndef KANZO_BACK_OFFICE_HOST
#define KANZO_BACK_OFFICE_HOST "admin.kanzo.example"
#endif

namespace kanzo {
namespace {

constexpr const char* kCaption = "Qimbo";
constexpr const char* kAboutItem = "关于 Qimbo(&A)";
constexpr const char* kMenuOnline = "在线";
constexpr const char* kMenuAway = "离开";
constexpr const char* kMenuSoundOff = "关闭所有声音";
constexpr const char* kMenuOpenPanel = "打开主面板";
constexpr const char* kMenuQuit = "退出";
constexpr const char* kTabSessions = "会话";
constexpr const char* kTabContacts = "通讯录";
constexpr const char* kSettingTip = "系统设置";
constexpr const char* kBackOfficeTip = "后台管理";
constexpr const char* kQuickMessageTip = "添加常用语";
constexpr const char* kAddEmployeeTip = "添加员工";
constexpr const char* kBackOfficeHost = KANZO_BACK_OFFICE_HOST;

constexpr const char* kProgramIcon = "Images/kanzo.png";    // icon 128
constexpr const char* kAwayIcon = "Images/kanzo_away.png";  // icon 198
constexpr const char* kDefaultLogo = "Images/big_def_logo.png";
constexpr const char* kSettingPicture = "\\Images\\Setting";
constexpr const char* kBackOfficePicture = "\\Images\\BackgroundManage";
constexpr const char* kQuickMessagePicture = "\\Images\\AddQuickMessage";
constexpr const char* kAddEmployeePicture = "\\Images\\AddEmployee";
constexpr const char* kMessageSound = "talkmessage.wav";

// Colours (0xRRGGBB).
constexpr QRgb kBackgroundColour = 0xFAFAFA;
constexpr QRgb kTextColour = 0x333333;
constexpr QRgb kEmptyPaneColour = 0xFFFFFF;

// The window is 184 x 411 dialog units; a dialog unit is a quarter of the
// dialog font's average character width across and an eighth of its height
// down (6 x 13 pixels for the dialog font), rounded to the nearest pixel.
constexpr int kDluWidth = 184;
constexpr int kDluHeight = 411;
constexpr int kCharWidth = 6;
constexpr int kCharHeight = 13;
constexpr int kWindowWidth = (kDluWidth * kCharWidth + 2) / 4;
constexpr int kWindowHeight = (kDluHeight * kCharHeight + 4) / 8;

// Layout in pixels.
constexpr int kMargin = 8;
constexpr int kLogoSize = 64;
constexpr int kTextLeft = kMargin + kLogoSize + 10;
constexpr int kTextWidth = kWindowWidth - kTextLeft - kMargin;
constexpr int kNameTop = 10;
constexpr int kLineHeight = 20;
constexpr int kStateTop = 32;
constexpr int kCountsTop = 58;
constexpr int kAreaTop = kMargin + kLogoSize + 10;
constexpr int kButtonSize = 28;
constexpr int kButtonGap = 4;
constexpr int kButtonRowTop = kWindowHeight - kButtonSize - kMargin;
constexpr int kAreaHeight = kButtonRowTop - kAreaTop - kMargin;
constexpr int kSignalWidth = 32;

// Where the panes lie inside the tab strip's client rectangle.
constexpr int kPaneInsetLeft = 2;
constexpr int kPaneInsetTop = 21;
constexpr int kPaneInsetRight = 4;
constexpr int kPaneInsetBottom = 2;

// Placement on the screen.
constexpr int kScreenRightGap = 20;
constexpr int kScreenTop = 100;

constexpr int kTabSessionsIndex = 0;
constexpr int kFlashMs = 1000;

// Presence-button frames of the presence menu's pictures.
constexpr int kOnlineFrame = 0;
constexpr int kAwayFrame = 4;

std::string Sha1Hex(std::string_view bytes) {
  const QByteArray digest = QCryptographicHash::hash(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                                     QCryptographicHash::Sha1);
  return digest.toHex().toUpper().toStdString();
}

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

QIcon IconFile(const char* path) { return QIcon(QString::fromStdString(SkinKit::ResolvePicturePath(path))); }

}  // namespace

// The window's side of MainWorkspace.
class MainDlg::View final : public MainWorkspaceView {
 public:
  explicit View(MainDlg& window) : window_(window) {}
  void ShowSessionCount(const std::string& text) override { window_.counts_->setText(platform::FromNarrow(text)); }
  void ShowState(int presence) override { window_.ShowState(presence); }
  void ShowAgentDetails() override { window_.ShowAgentDetails(); }
  void EndForcedOffline() override {
    window_.StopTimers();
    window_.RemoveTrayIcon();
    window_.hide();
    window_.EndOwner(kLoginResultForcedOffline);
  }
  void SettingsChanged() override { window_.SettingsChanged(); }

 private:
  MainDlg& window_;
};

MainDlg::MainDlg(QWidget* owner, WindowContext& context)
    : QDialog(owner),
      context_(context),
      timers_(*this),
      view_(std::make_unique<View>(*this)),
      workspace_(std::make_unique<MainWorkspace>(*view_, context)),
      owner_(owner) {
  // The ground, the About item (in the window's context menu, see
  // BuildSystemMenu) and the program icon.
  setWindowTitle(Text(kCaption));
  setWindowIcon(IconFile(kProgramIcon));
  setAutoFillBackground(true);
  QPalette ground = palette();
  ground.setColor(QPalette::Window, QColor(kBackgroundColour));
  ground.setColor(QPalette::WindowText, QColor(kTextColour));
  setPalette(ground);
  setFixedSize(kWindowWidth, kWindowHeight);
  BuildControls();

  // The agent's name.
  ShowVariableTexts();

  // The answers this window handles, and its registry entry.
  WindowNetworkFuture::instance().registerWindow({kCommandStartData, kCommandUpdateKFState, kCommandGetOnlineVisitor,
                                                  kCommandGetQuickMessage, kCommandLoadSessionCount},
                                                 Id());
  context_.router.Enter(kMainWindowName, *this, static_cast<MainWindowLink*>(this));

  // The picture and the agent card beside it.
  logo_->SetPicture(kDefaultLogo);
  if (WindowFactories::Factory factory = FindFactory(kAgentCardFactoryName)) {
    agentCard_ = factory(owner_ ? owner_.data() : this, context_);
    if (agentCard_) {
      agentCard_->hide();
      logo_->SetCompanion(agentCard_);
    }
  }

  // The panes under the tab strip.
  CreatePanes();

  // The settings, the tip and the tray icon.
  SetUpTrayIcon();

  // The start data, the lists and the counts, with their timers.
  GetInitData();
  GetOnlineVisitor();
  timers_.SetTimer(kTimerOnlineVisitor, kOnlineVisitorPeriodMs);
  GetQuickMessage();
  timers_.SetTimer(kTimerSessionCount, kSessionCountPeriodMs);
  LoadSessionCount();

  // 11-13.
  PlaceWindow();
  LoadChatWindow();
  settingButton_->SetIcon(kSettingPicture, HighLightButton::kIconTexture);
  backOfficeButton_->SetIcon(kBackOfficePicture, HighLightButton::kIconTexture);
  quickMessageButton_->SetIcon(kQuickMessagePicture, HighLightButton::kIconTexture);
  addEmployeeButton_->SetIcon(kAddEmployeePicture, HighLightButton::kIconTexture);
  ShowVariableTexts();
}

MainDlg::~MainDlg() {
  timers_.KillTimer(kTimerOnlineVisitor);
  timers_.KillTimer(kTimerQuickMessage);
  timers_.KillTimer(kTimerSessionCount);
  WindowNetworkFuture::instance().unregisterWindow(Id());
  context_.router.Leave(kMainWindowName, *this);
  RemoveTrayIcon();
}

void MainDlg::BuildControls() {
  const auto place = [](QWidget* w, int id, const QRect& geometry) {
    w->setObjectName(QString::number(id));
    w->setGeometry(geometry);
  };

  logo_ = new LogoPanel(this);
  place(logo_, kMainLogoId, QRect(kMargin, kMargin, kLogoSize, kLogoSize));

  name_ = new QLabel(this);
  place(name_, kMainNameId, QRect(kTextLeft, kNameTop, kTextWidth, kLineHeight));
  QFont nameFont = name_->font();
  nameFont.setBold(true);
  name_->setFont(nameFont);

  stateButton_ = new StateButton(this);
  place(stateButton_, kMainStateButtonId, QRect(QPoint(kTextLeft, kStateTop), stateButton_->sizeHint()));
  connect(stateButton_, &QAbstractButton::clicked, this, [this] { OnCommand(kMainStateButtonId); });

  counts_ = new QLabel(this);
  place(counts_, kMainCountsId, QRect(kTextLeft, kCountsTop, kTextWidth, kLineHeight));

  for (QLabel* label : {name_, counts_}) {
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setTextFormat(Qt::PlainText);
  }

  listArea_ = new QWidget(this);
  place(listArea_, kMainListAreaId, QRect(kMargin, kAreaTop, kWindowWidth - 2 * kMargin, kAreaHeight));

  const auto button = [&](int id, const char* tip, int column) {
    auto* b = new HighLightButton(this);
    b->setText(Text(tip));
    place(b, id, QRect(kMargin + column * (kButtonSize + kButtonGap), kButtonRowTop, kButtonSize, kButtonSize));
    connect(b, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
    return b;
  };
  settingButton_ = button(kMainSettingButtonId, kSettingTip, 0);
  backOfficeButton_ = button(kMainBackOfficeButtonId, kBackOfficeTip, 1);
  quickMessageButton_ = button(kMainQuickMessageButtonId, kQuickMessageTip, 2);
  addEmployeeButton_ = button(kMainAddEmployeeButtonId, kAddEmployeeTip, 3);
  // Present in the window but never offered.
  addEmployeeButton_->setEnabled(false);
  addEmployeeButton_->hide();

  signal_ = new SignalPanel(this);
  place(signal_, kMainSignalButtonId,
        QRect(kWindowWidth - kMargin - kSignalWidth, kButtonRowTop, kSignalWidth, kButtonSize));
  connect(signal_, &SignalPanel::clicked, this, [this] { OnCommand(kMainSignalButtonId); });
}

void MainDlg::CreatePanes() {
  const auto make = [this](const char* name) -> QWidget* {
    QWidget* pane = nullptr;
    if (WindowFactories::Factory factory = FindFactory(name)) pane = factory(listArea_, context_);
    // Until the pane's own part joins, the tab shows an empty white list.
    if (!pane) {
      pane = new QWidget(listArea_);
      pane->setAutoFillBackground(true);
      QPalette white = pane->palette();
      white.setColor(QPalette::Window, QColor(kEmptyPaneColour));
      pane->setPalette(white);
    }
    pane->setObjectName(QString::fromUtf8(name));
    // A pane that did not enter itself is still reached by its messages.
    if (auto* window = dynamic_cast<platform::Window*>(pane)) {
      if (!context_.router.Has(name)) context_.router.Enter(name, *window);
    }
    return pane;
  };
  onlinePane_ = make(kOnlinePaneName);
  contactPane_ = make(kContactPaneName);
  sessionPane_ = make(kSessionPaneName);

  // The visitor pane keeps the online visitors and is never shown.
  onlinePane_->setParent(this);
  onlinePane_->setGeometry(listArea_->geometry());
  onlinePane_->hide();

  segment_ = new Segment(this);
  segment_->setObjectName(QStringLiteral("Segment"));
  segment_->Create(listArea_);
  segment_->AddItem(Text(kTabSessions), sessionPane_);
  segment_->AddItem(Text(kTabContacts), contactPane_);
  segment_->Select(kTabSessionsIndex);
  PlacePanes();
}

void MainDlg::PlacePanes() {
  const QRect page = segment_->rect().adjusted(kPaneInsetLeft, kPaneInsetTop, -kPaneInsetRight, -kPaneInsetBottom);
  for (QWidget* pane : {sessionPane_.data(), contactPane_.data()})
    if (pane) pane->setGeometry(page);
}

void MainDlg::SetUpTrayIcon() {
  workspace_->LoadSettings();
  UpdateTrayTip();
  if (!QSystemTrayIcon::isSystemTrayAvailable()) {
    KLOG_WARN("系统没有通知区域，不显示托盘图标");
    SetTrayIcon();
    return;
  }
  tray_ = std::make_unique<QSystemTrayIcon>();
  connect(tray_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::DoubleClick) OnTrayEvent(kTrayDoubleClick);
    if (reason == QSystemTrayIcon::Context) OnTrayEvent(kTrayRightButtonUp);
  });
  SetTrayIcon();
  tray_->setToolTip(platform::PlainToolTip(trayTip_));
  tray_->show();
}

void MainDlg::SetTrayIcon() {
  trayAway_ = shownPresence_ == kPresenceAway;
  if (tray_) tray_->setIcon(IconFile(trayAway_ ? kAwayIcon : kProgramIcon));
}

void MainDlg::RemoveTrayIcon() {
  if (!tray_) return;
  tray_->hide();
  tray_.reset();
}

void MainDlg::UpdateTrayTip() {
  trayTip_ = platform::FromNarrow(TrayTipText(context_.records.agent.Copy()));
  if (tray_) tray_->setToolTip(platform::PlainToolTip(trayTip_));
}

void MainDlg::ShowVariableTexts() { name_->setText(platform::FromNarrow(context_.records.agent.Copy().realname)); }

void MainDlg::ShowAgentDetails() {
  ShowVariableTexts();
  if (auto* card = dynamic_cast<AgentCardLink*>(agentCard_.data())) card->FillFromAgentRecord();
}

void MainDlg::RefreshAgentDetails() {
  platform::CheckUiThread("MainDlg::RefreshAgentDetails");
  ShowAgentDetails();
  UpdateTrayTip();
}

void MainDlg::SettingsChanged() {
  platform::CheckUiThread("MainDlg::SettingsChanged");
  UpdateTrayTip();
  SetTrayIcon();
}

void MainDlg::PlaceWindow() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  move(screen->geometry().width() - width() - kScreenRightGap, kScreenTop);
}

void MainDlg::LoadChatWindow() {
  // Today's conversations come back once per run, whoever asks again.
  if (context_.todayConversationsLoaded) return;
  // The chat window belongs to the application, not to this window.
  if (!context_.router.Has(kChatWindowName) && context_.factories)
    context_.factories->ApplicationWindow(kChatWindowName, context_);
  if (auto* chat = context_.router.Find<ChatWindowLink>(kChatWindowName)) {
    chat->LoadTodayConversations();
    context_.todayConversationsLoaded = true;
  }
}

WindowFactories::Factory MainDlg::FindFactory(const char* name) const {
  return context_.factories ? context_.factories->Find(name) : WindowFactories::Factory();
}

void MainDlg::ShowState(int presence) {
  const PresenceLook look = PresenceLookOf(presence);
  stateButton_->SetState(look.buttonState);
  if (look.picture && shownPresence_ != look.shownPresence) logo_->SetPicture(look.picture);
  shownPresence_ = look.shownPresence;
  SetTrayIcon();
}

void MainDlg::LoadSessionCount() { workspace_->LoadSessionCount(); }
void MainDlg::GetInitData() { workspace_->GetInitData(); }
void MainDlg::GetOnlineVisitor() { workspace_->GetOnlineVisitor(); }

void MainDlg::GetQuickMessage() {
  timers_.KillTimer(kTimerQuickMessage);
  workspace_->GetQuickMessage();
  timers_.SetTimer(kTimerQuickMessage, kQuickMessagePeriodMs);
}

void MainDlg::UpdateKFState(int presence) { workspace_->UpdateKFState(presence); }

void MainDlg::ChangeSetting(int value) { workspace_->ChangeSetting(value); }

void MainDlg::OpenBackOffice() {
  const AgentRecord agent = context_.records.agent.Copy();
  const std::string date = LocalDateText(context_.clock.NowSeconds());
  const std::string address =
      BackOfficeAddress(kBackOfficeHost, agent.userName, agent.password, agent.triple.agentId, date, Sha1Hex);
  KLOG_INFO("打开后台管理");
  QDesktopServices::openUrl(QUrl(platform::FromNarrow(address)));
}

void MainDlg::ForceOffline() { workspace_->ForceOffline(); }

void MainDlg::Quit() {
  platform::CheckUiThread("MainDlg::Quit");
  SetTrayIcon();
  RemoveTrayIcon();
  StopTimers();
  hide();
  EndOwner(kLoginResultQuit);
}

void MainDlg::StopTimers() {
  timers_.KillTimer(kTimerOnlineVisitor);
  timers_.KillTimer(kTimerQuickMessage);
  timers_.KillTimer(kTimerSessionCount);
}

void MainDlg::EndOwner(int result) {
  if (auto* login = qobject_cast<QDialog*>(owner_.data())) login->done(result);
}

void MainDlg::OnCommand(int id) {
  switch (id) {
    case kPresenceMenuOnline:
      ShowState(kPresenceOnline);
      UpdateKFState(kPresenceOnline);
      break;
    case kPresenceMenuAway:
      ShowState(kPresenceAway);
      UpdateKFState(kPresenceAway);
      break;
    case kCommandTrayOnline: ShowState(kPresenceOnline); break;
    case kCommandTrayAway: ShowState(kPresenceAway); break;
    case kCommandTraySoundOff: ChangeSetting(context_.records.agent.Copy().soundState); break;
    case kCommandTrayOpenPanel: ShowFromTray(); break;
    case kCommandTrayQuit: Quit(); break;
    case kCommandAbout: ShowAbout(); break;
    case kMainStateButtonId: ShowPresenceMenu(); break;
    case kMainSettingButtonId: OpenSettings(); break;
    case kMainBackOfficeButtonId: OpenBackOffice(); break;
    case kMainQuickMessageButtonId: OpenQuickMessageEditor(); break;
    case kMainSignalButtonId: OpenSignalCount(); break;
    default: break;
  }
}

std::unique_ptr<QMenu> MainDlg::BuildPresenceMenu() {
  auto menu = std::make_unique<QMenu>(this);
  QAction* online = menu->addAction(QIcon(stateButton_->MenuBitmap(kOnlineFrame)), Text(kMenuOnline));
  QAction* away = menu->addAction(QIcon(stateButton_->MenuBitmap(kAwayFrame)), Text(kMenuAway));
  online->setData(kPresenceMenuOnline);
  away->setData(kPresenceMenuAway);
  connect(online, &QAction::triggered, this, [this] { OnCommand(kPresenceMenuOnline); });
  connect(away, &QAction::triggered, this, [this] { OnCommand(kPresenceMenuAway); });
  return menu;
}

std::unique_ptr<QMenu> MainDlg::BuildTrayMenu() {
  auto menu = std::make_unique<QMenu>();
  const auto item = [&](int id, const char* text, bool checkable, bool checked) {
    QAction* action = menu->addAction(Text(text));
    action->setData(id);
    action->setCheckable(checkable);
    action->setChecked(checked);
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
  };
  const int sound = context_.records.agent.Copy().soundState;
  item(kCommandTrayOnline, kMenuOnline, true, shownPresence_ == kPresenceOnline);
  item(kCommandTrayAway, kMenuAway, true, shownPresence_ == kPresenceAway);
  menu->addSeparator();
  item(kCommandTraySoundOff, kMenuSoundOff, true, sound == kSoundStateOff);
  menu->addSeparator();
  item(kCommandTrayOpenPanel, kMenuOpenPanel, false, false);
  menu->addSeparator();
  item(kCommandTrayQuit, kMenuQuit, false, false);
  return menu;
}

std::unique_ptr<QMenu> MainDlg::BuildSystemMenu() {
  // The platform gives Qt windows no system menu of their own; the About
  // item lives in the window's context menu instead.
  auto menu = std::make_unique<QMenu>(this);
  QAction* about = menu->addAction(Text(kAboutItem));
  about->setData(kCommandAbout);
  connect(about, &QAction::triggered, this, [this] { OnCommand(kCommandAbout); });
  return menu;
}

void MainDlg::ShowPresenceMenu() {
  QMenu* menu = BuildPresenceMenu().release();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(stateButton_->mapToGlobal(stateButton_->rect().bottomLeft()));
}

void MainDlg::ShowTrayMenu() {
  QMenu* menu = BuildTrayMenu().release();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  // The menu's bottom right corner sits at the cursor.
  const QSize size = menu->sizeHint();
  menu->popup(QCursor::pos() - QPoint(size.width(), size.height()));
}

void MainDlg::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = BuildSystemMenu().release();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

void MainDlg::ShowAbout() {
  auto* about = new AboutDlg(context_.program.description, context_.program.version, this);
  about->setAttribute(Qt::WA_DeleteOnClose);
  about->open();
}

void MainDlg::OnTrayEvent(platform::LParam event) {
  if (event == kTrayDoubleClick) {
    ShowFromTray();
    SetTrayIcon();
  } else if (event == kTrayRightButtonUp) {
    ShowTrayMenu();
  }
}

void MainDlg::ShowFromTray() {
  showNormal();
  raise();
  activateWindow();
}

void MainDlg::OpenSettings() {
  if (!settingWindow_) {
    WindowFactories::Factory factory = FindFactory(kSettingWindowFactoryName);
    if (!factory) return;
    settingWindow_ = factory(owner_ ? owner_.data() : this, context_);
    if (!settingWindow_) return;
  }
  settingWindow_->show();
  settingWindow_->raise();
}

void MainDlg::OpenSignalCount() {
  if (!signalCountWindow_) {
    signalCountWindow_ = dynamic_cast<QWidget*>(platform::FindWindow(context_.router.IdOf(kSignalCountName)));
  }
  if (!signalCountWindow_) {
    WindowFactories::Factory factory = FindFactory(kSignalCountName);
    if (!factory) return;
    signalCountWindow_ = factory(owner_ ? owner_.data() : this, context_);
    if (!signalCountWindow_) return;
    auto* window = dynamic_cast<platform::Window*>(signalCountWindow_.data());
    if (window && !context_.router.Has(kSignalCountName)) context_.router.Enter(kSignalCountName, *window);
  }
  signalCountWindow_->show();
  signalCountWindow_->raise();
}

void MainDlg::OpenQuickMessageEditor() {
  WindowFactories::Factory factory = FindFactory(kQuickMsgEditFactoryName);
  if (!factory) return;
  QWidget* editor = factory(this, context_);
  if (!editor) return;
  editor->setAttribute(Qt::WA_DeleteOnClose);
  if (auto* dialog = qobject_cast<QDialog*>(editor)) {
    dialog->open();
  } else {
    editor->show();
  }
}

void MainDlg::OnChatLineArrived(platform::WParam flag, platform::LParam lParam) {
  const std::unique_ptr<ChatLineNotice> notice = platform::TakePayload(kChatLine, lParam);
  if (notice && notice->kind == 0) {
    auto* chat = dynamic_cast<QWidget*>(platform::FindWindow(context_.router.IdOf(kChatWindowName)));
    if (chat && chat->isMinimized()) QApplication::alert(chat, kFlashMs);
  }
  if (workspace_->ShouldPlaySound(flag)) PlayMessageSound();
}

void MainDlg::PlayMessageSound() {
  platform::PlaySoundFile(SkinKit::ResolvePicturePath(kMessageSound));
  ++soundsPlayed_;
}

platform::MessageResult MainDlg::OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                                 platform::LParam lParam) {
  switch (message) {
    case kNetworkWindowMessage:
      if (wParam == kNetworkEventMessage) workspace_->OnNetworkMessage(platform::TakePayload(kNetworkMessage, lParam));
      break;
    case kTrayIconMessage:
      if (wParam == kTrayIconId) OnTrayEvent(lParam);
      break;
    case kSignalLevelMessage: signal_->SetLevel(static_cast<int>(lParam)); break;
    case kLoginRenewedMessage: workspace_->OnLoginRenewed(); break;
    case kChatLineMessage: OnChatLineArrived(wParam, lParam); break;
    case kSegmentSelectMessage: PlacePanes(); break;
    default: break;
  }
  return 0;
}

void MainDlg::OnTimer(std::uint32_t timerId) {
  switch (timerId) {
    case kTimerOnlineVisitor: GetOnlineVisitor(); break;
    case kTimerQuickMessage: GetQuickMessage(); break;
    case kTimerSessionCount: LoadSessionCount(); break;
    default: break;
  }
}

void MainDlg::HideToTray() {
  // Without a tray icon nothing could bring a hidden window back.
  if (tray_) {
    hide();
  } else {
    showMinimized();
  }
}

void MainDlg::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && isMinimized() && tray_) {
    // Hidden after the state change has been handled.
    QTimer::singleShot(0, this, [this] {
      if (isMinimized()) hide();
    });
  }
}

void MainDlg::showEvent(QShowEvent* event) {
  // The tab strip lays its page out again when it first gets its size,
  // which happens as the window is first shown.
  PlacePanes();
  QDialog::showEvent(event);
}

void MainDlg::closeEvent(QCloseEvent* event) {
  // Closing does not end the workspace; "退出" does.
  event->ignore();
  HideToTray();
}

void MainDlg::reject() { HideToTray(); }

QString MainDlg::NameText() const { return name_->text(); }
QString MainDlg::CountsText() const { return counts_->text(); }
int MainDlg::SignalLevel() const { return signal_->Level(); }
int MainDlg::StateButtonState() const { return stateButton_->State(); }
std::string MainDlg::AgentPicture() const { return logo_->PicturePath(); }

QWidget* MainDlg::Pane(const char* name) const {
  const std::string n(name);
  if (n == kOnlinePaneName) return onlinePane_;
  if (n == kContactPaneName) return contactPane_;
  if (n == kSessionPaneName) return sessionPane_;
  return nullptr;
}

QWidget* MainDlg::Control(int id) const { return findChild<QWidget*>(QString::number(id)); }

}  // namespace kanzo
