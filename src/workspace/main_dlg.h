#pragma once
// The agent's workspace after the login: a narrow window at the right edge
// of the screen with the agent's picture, name, presence and conversation
// counts, the tab strip over the conversation and colleague panes, a row of
// buttons, and the notification-area icon.
//
// The login window creates it once after the first successful login (as its
// owner), tells it the presence with ShowState and shows it. It registers
// for the commands 13, 8, 29, 43 and 7 and enters itself in the router as
// "MainDlg" with its MainWindowLink. What it does with the answers lives in
// MainWorkspace (no window needed); this class shows strings, reads input
// and forwards clicks.
#include <QDialog>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>

#include "platform/qt/window_timers.h"
#include "platform/window_message.h"
#include "windows/client_vocabulary.h"
#include "windows/window_context.h"
#include "windows/window_links.h"
#include "workspace/window_factories.h"

class QLabel;
class QMenu;
class QSystemTrayIcon;

namespace kanzo {

class HighLightButton;
class LogoPanel;
class MainWorkspace;
class Segment;
class SignalPanel;
class StateButton;

// Control ids of the main window.
inline constexpr int kMainLogoId = 1164;
inline constexpr int kMainNameId = 1111;
inline constexpr int kMainStateButtonId = 1113;
inline constexpr int kMainCountsId = 1176;
inline constexpr int kMainListAreaId = 1109;
inline constexpr int kMainSettingButtonId = 1069;
inline constexpr int kMainBackOfficeButtonId = 1070;
inline constexpr int kMainQuickMessageButtonId = 1071;
inline constexpr int kMainAddEmployeeButtonId = 1179;
inline constexpr int kMainSignalButtonId = 1163;

// Menu commands (the presence menu's are kPresenceMenuOnline and
// kPresenceMenuAway).
inline constexpr int kCommandTrayOnline = 2028;     // tray menu
inline constexpr int kCommandTrayAway = 2029;       // tray menu
inline constexpr int kCommandTraySoundOff = 2031;   // tray menu
inline constexpr int kCommandTrayOpenPanel = 2033;  // tray menu
inline constexpr int kCommandTrayQuit = 2034;       // tray menu
inline constexpr int kCommandAbout = 16;            // system menu

// Periods of the timers kTimerOnlineVisitor, kTimerQuickMessage and
// kTimerSessionCount.
inline constexpr int kOnlineVisitorPeriodMs = 60'000;
inline constexpr int kQuickMessagePeriodMs = 1'800'000;
inline constexpr int kSessionCountPeriodMs = 5'000;

class MainDlg final : public QDialog, public platform::Window, public MainWindowLink {
  Q_OBJECT
 public:
  // `owner` is the login window; it is ended with done() on "退出" and on a
  // forced log-off. It may be null (the window then only closes itself).
  MainDlg(QWidget* owner, WindowContext& context);
  ~MainDlg() override;

  // Presence display: presence button, tray icon and agent picture.
  void ShowState(int presence);
  int ShownPresence() const { return shownPresence_; }

  // Requests to the server.
  void LoadSessionCount();
  void GetInitData();
  void GetOnlineVisitor();
  // Also restarts timer 2224.
  void GetQuickMessage();
  void UpdateKFState(int presence);

  // Toggles the setting whose current value is `value` (sound_state 1/2,
  // flick_state 3/4), stores it and refreshes the tip.
  void ChangeSetting(int value);
  void UpdateTrayTip();
  void OpenBackOffice();
  void ForceOffline();

  // MainWindowLink
  void RefreshAgentDetails() override;
  void SettingsChanged() override;
  void Quit() override;

  // Menu items and buttons by command or control id.
  void OnCommand(int id);
  // The menus as they would pop up now (the caller owns them).
  std::unique_ptr<QMenu> BuildPresenceMenu();
  std::unique_ptr<QMenu> BuildTrayMenu();
  // The window's own context menu, standing in for the system menu.
  std::unique_ptr<QMenu> BuildSystemMenu();

  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;
  void OnTimer(std::uint32_t timerId) override;

  // What the window shows (tests, the gallery).
  QString NameText() const;
  QString CountsText() const;
  QString TrayTip() const { return trayTip_; }
  // Whether the tray icon shows the away picture.
  bool TrayShowsAway() const { return trayAway_; }
  bool HasTrayIcon() const { return tray_ != nullptr; }
  int SignalLevel() const;
  int StateButtonState() const;
  std::string AgentPicture() const;
  Segment* TabStrip() const { return segment_; }
  QWidget* Pane(const char* name) const;
  QWidget* Control(int id) const;
  int SoundsPlayed() const { return soundsPlayed_; }
  platform::WindowTimers& Timers() { return timers_; }
  MainWorkspace& Workspace() { return *workspace_; }

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void reject() override;

 private:
  class View;

  void BuildControls();
  void CreatePanes();
  void PlacePanes();
  void StopTimers();
  void SetUpTrayIcon();
  void SetTrayIcon();
  void RemoveTrayIcon();
  void ShowVariableTexts();
  void ShowAgentDetails();
  void PlaceWindow();
  void LoadChatWindow();
  void OnTrayEvent(platform::LParam event);
  void ShowFromTray();
  void ShowPresenceMenu();
  void ShowTrayMenu();
  void ShowAbout();
  void OpenSettings();
  void OpenSignalCount();
  void OpenQuickMessageEditor();
  void OnChatLineArrived(platform::WParam flag, platform::LParam notice);
  void PlayMessageSound();
  void HideToTray();
  void EndOwner(int result);

  WindowFactories::Factory FindFactory(const char* name) const;

  WindowContext& context_;
  platform::WindowTimers timers_;
  std::unique_ptr<View> view_;
  std::unique_ptr<MainWorkspace> workspace_;
  QPointer<QWidget> owner_;

  LogoPanel* logo_ = nullptr;
  QLabel* name_ = nullptr;
  StateButton* stateButton_ = nullptr;
  QLabel* counts_ = nullptr;
  QWidget* listArea_ = nullptr;
  Segment* segment_ = nullptr;
  HighLightButton* settingButton_ = nullptr;
  HighLightButton* backOfficeButton_ = nullptr;
  HighLightButton* quickMessageButton_ = nullptr;
  HighLightButton* addEmployeeButton_ = nullptr;
  SignalPanel* signal_ = nullptr;

  QPointer<QWidget> onlinePane_;
  QPointer<QWidget> contactPane_;
  QPointer<QWidget> sessionPane_;
  QPointer<QWidget> agentCard_;
  QPointer<QWidget> settingWindow_;
  QPointer<QWidget> signalCountWindow_;

  std::unique_ptr<QSystemTrayIcon> tray_;
  QString trayTip_;
  bool trayAway_ = false;
  int shownPresence_ = 0;  // none yet
  int soundsPlayed_ = 0;
};

}  // namespace kanzo
