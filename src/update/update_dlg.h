#pragma once
// The updater's one dialog (102, "更新"): a list of progress lines, a bar, a
// status line and two buttons, the label of button 1 being the wizard's
// state. The steps run on a worker thread; their lines, statuses and boxes
// come back as window messages, so the dialog only shows them.
#include <QDialog>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <thread>

#include "platform/window_message.h"
#include "update/update_params.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace kanzo {

class HttpClient;
struct VersionCheckResult;

class CUpdateDlg final : public QDialog, public platform::Window {
  Q_OBJECT

 public:
  // Dialog and control numbers.
  static constexpr int kDialogId = 102;
  static constexpr int kIdNext = 1;    // "下一步(&N)" / "更新(&U)" / "完成(&O)"
  static constexpr int kIdCancel = 2;  // "取消(&C)"
  static constexpr int kIdProgressBar = 1002;
  static constexpr int kIdProgressList = 1011;
  static constexpr int kIdStatus = 1012;

  // The worker thread reports with the messages of
  // windows/update_vocabulary.h.

  CUpdateDlg(UpdateRunParams params, HttpUrlParts url, std::string programFolder, QWidget* parent = nullptr);
  ~CUpdateDlg() override;

  // Initialises the dialog and runs it until it ends; in silent mode it stays
  // hidden until a new version is found. Returns the dialog's result.
  int RunModal();

  // The dialog's start: window above all others, the HTTP session, the
  // first line, and in silent mode the check at once. False when the session
  // could not be opened (the box has been shown and the dialog has ended).
  bool OnInitDialog();

  // Button 1 decides by its label; button 2 closes when it is enabled.
  void OnNextButton();
  void OnCancelButton();

  platform::MessageResult OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) override;

  QString NextLabel() const;
  QString StatusText() const;
  QStringList ProgressLines() const;
  int ProgressPercent() const;
  bool NextEnabled() const;
  bool CancelEnabled() const;
  bool Busy() const { return worker_.joinable(); }
  bool Ended() const { return ended_; }
  bool WasShown() const { return wasShown_; }

 protected:
  void reject() override;
  void showEvent(QShowEvent* event) override;

 private:
  void StartVersionCheck();
  void OnVersionChecked(const VersionCheckResult& result);
  void StartUpdate();
  void OnUpdated();
  void AddProgressLine(const QString& line);
  void SetButtonsEnabled(bool enabled);
  void JoinWorker();
  void EndDialog(int result);

  UpdateRunParams params_;
  HttpUrlParts url_;
  std::string programFolder_;
  std::string offeredVersion_;
  std::unique_ptr<HttpClient> client_;
  std::thread worker_;
  bool ended_ = false;
  bool wasShown_ = false;
  bool waitCursor_ = false;

  QListWidget* list_ = nullptr;
  QProgressBar* bar_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* next_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace kanzo
