#include "workspace/login_dlg.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QIcon>
#include <QKeyEvent>
#include <QPalette>

#include "controls/skin_kit.h"
#include "net/window_network_future.h"
#include "platform/qt/qt_text.h"

namespace kanzo {
namespace {

// The look of the window: white ground, dark grey text.
constexpr SkinKit::Colour kGroundColour = 0xFFFFFF;
constexpr SkinKit::Colour kTextColour = 0x333333;  // RGB (51, 51, 51)
constexpr SkinKit::Colour kBannerColour = 0xF2F6FA;
constexpr const char* kProgramIcon = "Images/kanzo.png";
constexpr const char* kBannerTitle = "Kanzo";
constexpr const char* kUserNameLabel = "用户名";
constexpr const char* kPasswordLabel = "密码";
constexpr const char* kRememberPasswordText = "记住密码";
constexpr const char* kAutoLoginText = "自动登录";
constexpr const char* kMenuOnlineText = "在线";
constexpr const char* kMenuAwayText = "离开";

// Geometry, in pixels.
constexpr int kWindowWidth = 300;
constexpr int kWindowHeight = 250;
constexpr int kBannerHeight = 64;
constexpr int kBannerIconSize = 40;
constexpr int kBannerMargin = 12;
constexpr int kBannerTitlePointSize = 14;
constexpr int kLabelLeft = 20;
constexpr int kLabelWidth = 56;
constexpr int kFieldLeft = 80;
constexpr int kFieldWidth = 196;
constexpr int kFieldHeight = 26;
constexpr int kUserNameTop = 82;
constexpr int kPasswordTop = 118;
constexpr int kOptionsTop = 156;
constexpr int kOptionsHeight = 24;
constexpr int kRememberLeft = 140;
constexpr int kAutoLoginLeft = 212;
constexpr int kCheckWidth = 72;
constexpr int kSubmitTop = 198;
constexpr int kSubmitHeight = 30;

QColor Colour(SkinKit::Colour colour) { return SkinKit::ToQColor(colour); }

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

LoginDlg::LoginDlg(WindowContext& context, QWidget* parent, MainWindowMaker maker)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint),
      context_(context),
      maker_(std::move(maker)),
      timers_(*this),
      session_(*this, context) {
  setWindowTitle(Text(kLoginCaption));
  setWindowIcon(QIcon(platform::FromNarrow(SkinKit::ResolvePicturePath(kProgramIcon))));
  setFixedSize(kWindowWidth, kWindowHeight);
  BuildControls();
  // Answers may come while the window is hidden; it keeps the codes for its
  // whole life.
  WindowNetworkFuture::instance().registerWindow({kCommandLogin, kCommandRefreshSession, kCommandRefreshLogin}, Id());
  connect(this, &QDialog::finished, this, [this] { finished_ = true; });
}

LoginDlg::~LoginDlg() {
  WindowNetworkFuture::instance().unregisterWindow(Id());
  // The main window goes before the session whose records its statistics
  // window shows.
  delete mainWindow_.data();
}

void LoginDlg::BuildControls() {
  // Edit fields, lists, the window and its texts: white ground, text in
  // RGB (51, 51, 51); the buttons keep their own look.
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Colour(kGroundColour));
  palette.setColor(QPalette::Base, Colour(kGroundColour));
  // Disabled controls (while a login is under way) keep their grey text.
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::WindowText, Colour(kTextColour));
    palette.setColor(group, QPalette::Text, Colour(kTextColour));
  }
  setPalette(palette);
  setAutoFillBackground(true);

  auto* banner = new QLabel(this);
  banner->setGeometry(0, 0, kWindowWidth, kBannerHeight);
  banner->setAutoFillBackground(true);
  QPalette bannerPalette = banner->palette();
  bannerPalette.setColor(QPalette::Window, Colour(kBannerColour));
  banner->setPalette(bannerPalette);
  auto* icon = new QLabel(banner);
  icon->setGeometry(kBannerMargin, (kBannerHeight - kBannerIconSize) / 2, kBannerIconSize, kBannerIconSize);
  icon->setPixmap(windowIcon().pixmap(kBannerIconSize, kBannerIconSize));
  auto* title = new QLabel(Text(kBannerTitle), banner);
  QFont titleFont = title->font();
  titleFont.setPointSize(kBannerTitlePointSize);
  titleFont.setBold(true);
  title->setFont(titleFont);
  title->setGeometry(2 * kBannerMargin + kBannerIconSize, 0, kWindowWidth, kBannerHeight);

  auto* nameLabel = new QLabel(Text(kUserNameLabel), this);
  nameLabel->setGeometry(kLabelLeft, kUserNameTop, kLabelWidth, kFieldHeight);
  userName_ = new QComboBox(this);
  userName_->setObjectName(QString::number(kUserNameControl));
  userName_->setEditable(true);
  userName_->setInsertPolicy(QComboBox::NoInsert);
  userName_->setGeometry(kFieldLeft, kUserNameTop, kFieldWidth, kFieldHeight);

  auto* passwordLabel = new QLabel(Text(kPasswordLabel), this);
  passwordLabel->setGeometry(kLabelLeft, kPasswordTop, kLabelWidth, kFieldHeight);
  password_ = new QLineEdit(this);
  password_->setObjectName(QString::number(kPasswordControl));
  password_->setEchoMode(QLineEdit::Password);
  password_->setGeometry(kFieldLeft, kPasswordTop, kFieldWidth, kFieldHeight);

  presenceButton_ = new StateButton(this);
  presenceButton_->setObjectName(QString::number(kPresenceControl));
  const QSize presenceSize = presenceButton_->sizeHint();
  presenceButton_->setGeometry(kFieldLeft, kOptionsTop + (kOptionsHeight - presenceSize.height()) / 2,
                               presenceSize.width(), presenceSize.height());
  rememberPassword_ = new QCheckBox(Text(kRememberPasswordText), this);
  rememberPassword_->setObjectName(QString::number(kRememberPasswordControl));
  rememberPassword_->setGeometry(kRememberLeft, kOptionsTop, kCheckWidth, kOptionsHeight);
  autoLogin_ = new QCheckBox(Text(kAutoLoginText), this);
  autoLogin_->setObjectName(QString::number(kAutoLoginControl));
  autoLogin_->setGeometry(kAutoLoginLeft, kOptionsTop, kCheckWidth, kOptionsHeight);

  submit_ = new QPushButton(Text(kSubmitText), this);
  submit_->setObjectName(QString::number(kSubmitControl));
  submit_->setGeometry(kFieldLeft, kSubmitTop, kFieldWidth, kSubmitHeight);
  submit_->setDefault(true);

  presenceMenu_ = new QMenu(this);
  QAction* online =
      presenceMenu_->addAction(QIcon(presenceButton_->MenuBitmap(kPresenceButtonOnline)), Text(kMenuOnlineText));
  online->setData(kPresenceMenuOnline);
  QAction* away =
      presenceMenu_->addAction(QIcon(presenceButton_->MenuBitmap(kPresenceButtonAway)), Text(kMenuAwayText));
  away->setData(kPresenceMenuAway);

  connect(submit_, &QPushButton::clicked, this, &LoginDlg::OnBnClickedLoginSubmitButton);
  connect(userName_, &QComboBox::activated, this, &LoginDlg::FillFields);
  connect(userName_->lineEdit(), &QLineEdit::textEdited, this, &LoginDlg::OnUserNameEdited);
  connect(rememberPassword_, &QCheckBox::clicked, this, &LoginDlg::OnRememberPasswordClicked);
  connect(autoLogin_, &QCheckBox::clicked, this, &LoginDlg::OnAutoLoginClicked);
  connect(presenceButton_, &StateButton::clicked, this, &LoginDlg::OnPresenceButtonClicked);
  connect(presenceMenu_, &QMenu::triggered, this, [this](QAction* action) {
    if (session_.OnPresenceCommand(action->data().toInt())) ShowPresence();
  });
  ShowPresence();
}

int LoginDlg::RunModal() {
  // The login window alone decides when the run ends: hiding it after the
  // login or closing the main window must not end the loop.
  QApplication::setQuitOnLastWindowClosed(false);
  finished_ = false;
  QEventLoop loop;
  connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
  show();
  if (!finished_) loop.exec();
  return result();
}

void LoginDlg::EndWithResult(int result) { done(result); }

void LoginDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // A window restored from minimised is shown again: what the agent typed
  // stays. The stored logins are read on the first show, and again once
  // the window has handed over to a main window (the next show follows a
  // log-off).
  if (storedLoginsLoaded_) return;
  storedLoginsLoaded_ = true;
  LoadStoredLogins();
  if (AutomaticLoginAllowed() && storedLogins_.WantsAutomaticLogin()) {
    SetAutomaticLoginAllowed(false);
    OnBnClickedLoginSubmitButton();
  }
}

void LoginDlg::keyPressEvent(QKeyEvent* event) {
  // Enter logs in from any field, also from the user-name list's edit.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (submit_->isEnabled()) OnBnClickedLoginSubmitButton();
    return;
  }
  QDialog::keyPressEvent(event);
}

void LoginDlg::LoadStoredLogins() {
  userName_->clear();
  storedLogins_.Load(context_.db);
  for (const StoredLogin& login : storedLogins_.Rows()) userName_->addItem(platform::FromNarrow(login.userName));
  FillFields(0);
}

void LoginDlg::FillFields(int index) {
  const StoredLoginFields fields = storedLogins_.FieldsFor(index);
  // Choosing no account keeps what the agent typed.
  if (fields.index >= 0) userName_->setCurrentIndex(fields.index);
  password_->setText(platform::FromNarrow(fields.password));
  rememberPassword_->setChecked(fields.rememberPassword);
  autoLogin_->setChecked(fields.autoLogin);
  session_.SetPresence(fields.presence);
  ShowPresence();
  password_->setCursorPosition(password_->text().size());
}

void LoginDlg::OnUserNameEdited(const QString& text) {
  FillFields(-1);
  const std::string typed = platform::ToNarrow(text);
  if (!typed.empty()) {
    const int match = storedLogins_.Match(typed);
    if (match >= 0) FillFields(match);
  }
}

void LoginDlg::OnRememberPasswordClicked(bool checked) {
  if (!checked) autoLogin_->setChecked(false);
}

void LoginDlg::OnAutoLoginClicked(bool checked) {
  if (checked) rememberPassword_->setChecked(true);
}

void LoginDlg::OnPresenceButtonClicked() {
  presenceMenu_->popup(presenceButton_->mapToGlobal(presenceButton_->rect().bottomLeft()));
}

void LoginDlg::ShowPresence() { presenceButton_->SetState(PresenceButtonState(session_.Presence())); }

LoginForm LoginDlg::ReadForm() const {
  LoginForm form;
  form.userName = platform::ToNarrow(userName_->currentText());
  form.password = platform::ToNarrow(password_->text());
  form.rememberPassword = rememberPassword_->isChecked();
  form.autoLogin = autoLogin_->isChecked();
  return form;
}

void LoginDlg::SetBusy(bool busy) {
  for (QWidget* control :
       std::initializer_list<QWidget*>{userName_, password_, rememberPassword_, autoLogin_, presenceButton_}) {
    control->setEnabled(!busy);
  }
  submit_->setText(Text(busy ? kCancelText : kSubmitText));
}

void LoginDlg::OnBnClickedLoginSubmitButton() {
  switch (session_.Submit(ReadForm())) {
    case SubmitResult::kSent: SetBusy(true); break;
    case SubmitResult::kCancelled: SetBusy(false); break;
    case SubmitResult::kMissingUserName:
    case SubmitResult::kMissingPassword: break;
  }
}

platform::MessageResult LoginDlg::OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                                  platform::LParam lParam) {
  if (message != kNetworkWindowMessage || wParam != kNetworkEventMessage) return 0;
  ApplyOutcome(session_.OnNetworkMessage(platform::TakePayload(kNetworkMessage, lParam)));
  return 0;
}

void LoginDlg::ApplyOutcome(const AnswerOutcome& outcome) {
  switch (outcome.kind) {
    case AnswerOutcome::Kind::kLoginFailed: SetBusy(false); break;
    case AnswerOutcome::Kind::kLoggedIn:
      storedLoginsLoaded_ = false;
      hide();
      OpenMainWindow();
      session_.StartKeepAlive();
      break;
    case AnswerOutcome::Kind::kSessionRefreshed:
      if (outcome.hasAgentStates && mainWindow_ && maker_.loadAgentStates)
        maker_.loadAgentStates(mainWindow_, outcome.agentStates);
      break;
    case AnswerOutcome::Kind::kRelogged:
    case AnswerOutcome::Kind::kIgnored: break;
  }
}

void LoginDlg::OpenMainWindow() {
  if (!mainWindow_ && maker_.create) mainWindow_ = maker_.create(this, context_);
  if (!mainWindow_) return;
  if (maker_.showState) maker_.showState(mainWindow_, context_.records.agent.Copy().presence);
  mainWindow_->show();
}

void LoginDlg::OnTimer(std::uint32_t timerId) { session_.OnTimer(timerId); }

void LoginDlg::SetTimer(std::uint32_t id, int periodMs) { timers_.SetTimer(id, periodMs); }
void LoginDlg::KillTimer(std::uint32_t id) { timers_.KillTimer(id); }

}  // namespace kanzo
