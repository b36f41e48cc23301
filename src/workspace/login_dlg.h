#pragma once
// The login window: the first window of the run and the keeper of the
// session for the whole of it. It shows the stored accounts, sends the
// login, opens the main window after the first success and then stays
// hidden, refreshing the session with its timers (LoginSession does the
// work; this class shows it).
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <memory>

#include "controls/state_button.h"
#include "platform/qt/window_timers.h"
#include "platform/window_message.h"
#include "workspace/login_session.h"
#include "workspace/main_window_maker.h"
#include "workspace/stored_logins.h"

namespace kanzo {

// Control ids of the login window.
inline constexpr int kUserNameControl = 1042;
inline constexpr int kPasswordControl = 1043;
inline constexpr int kRememberPasswordControl = 1045;
inline constexpr int kAutoLoginControl = 1046;
inline constexpr int kSubmitControl = 1047;
inline constexpr int kPresenceControl = 1048;

inline constexpr const char* kLoginCaption = "登陆";
inline constexpr const char* kSubmitText = "登录";
inline constexpr const char* kCancelText = "取消";

class LoginDlg : public QDialog, public platform::Window, private LoginSessionHost {
  Q_OBJECT
 public:
  explicit LoginDlg(WindowContext& context, QWidget* parent = nullptr,
                    MainWindowMaker maker = DefaultMainWindowMaker());
  ~LoginDlg() override;

  // Shows the window and runs until it ends (the close box, Escape, or
  // EndWithResult); returns the result. Hiding the window after the login
  // does not end it.
  int RunModal();
  // Ends the window with `result` (the main window: 2 to quit, 1 after a
  // forced log-off).
  void EndWithResult(int result);

  // The handlers.
  void OnBnClickedLoginSubmitButton();
  void RefreshSession() { session_.RefreshSession(); }
  void RefreshLogin() { session_.RefreshLogin(); }
  // Empties the user-name list and fills it from the database, then the
  // fields from the newest account.
  void LoadStoredLogins();
  // Fills the fields from stored login `index` (-1: from none).
  void FillFields(int index);

  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;
  void OnTimer(std::uint32_t timerId) override;

  // For the windows and tests that look at the parts.
  LoginSession& Session() { return session_; }
  platform::WindowTimers& Timers() { return timers_; }
  QComboBox* UserNameBox() const { return userName_; }
  QLineEdit* PasswordEdit() const { return password_; }
  QCheckBox* RememberPasswordBox() const { return rememberPassword_; }
  QCheckBox* AutoLoginBox() const { return autoLogin_; }
  QPushButton* SubmitButton() const { return submit_; }
  StateButton* PresenceButton() const { return presenceButton_; }
  QMenu* PresenceMenu() const { return presenceMenu_; }
  QWidget* MainWindow() const { return mainWindow_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // LoginSessionHost
  void SetTimer(std::uint32_t id, int periodMs) override;
  void KillTimer(std::uint32_t id) override;

  void BuildControls();
  LoginForm ReadForm() const;
  void SetBusy(bool busy);
  void ShowPresence();
  void OnUserNameEdited(const QString& text);
  void OnRememberPasswordClicked(bool checked);
  void OnAutoLoginClicked(bool checked);
  void OnPresenceButtonClicked();
  void ApplyOutcome(const AnswerOutcome& outcome);
  void OpenMainWindow();

  WindowContext& context_;
  MainWindowMaker maker_;
  platform::WindowTimers timers_;
  LoginSession session_;
  StoredLogins storedLogins_;
  QComboBox* userName_ = nullptr;
  QLineEdit* password_ = nullptr;
  QCheckBox* rememberPassword_ = nullptr;
  QCheckBox* autoLogin_ = nullptr;
  QPushButton* submit_ = nullptr;
  StateButton* presenceButton_ = nullptr;
  QMenu* presenceMenu_ = nullptr;
  QPointer<QWidget> mainWindow_;
  bool finished_ = false;
  // The form holds the stored logins; later show events keep what is typed.
  bool storedLoginsLoaded_ = false;
};

}  // namespace kanzo
