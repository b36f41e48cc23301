#include "update/update_dlg.h"

#include <QApplication>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/message_box.h"
#include "platform/qt/qt_text.h"
#include "update/http_client.h"
#include "update/update_progress.h"
#include "update/update_run.h"
#include "update/update_texts.h"
#include "update/version_check.h"
#include "windows/update_vocabulary.h"

namespace kanzo {
namespace {

constexpr int kDialogWidth = 460;
constexpr int kDialogHeight = 320;
constexpr int kIconSize = 32;
constexpr int kIconMargin = 3;
constexpr int kIconPenWidth = 4;
constexpr QRgb kIconBackground = 0x2B7BD6;
constexpr QRgb kIconArrow = 0xFFFFFF;

// The window icon: a white arrow pointing down on a blue disc.
QIcon MakeUpdateIcon() {
  QPixmap pixmap(kIconSize, kIconSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(kIconBackground));
  painter.drawEllipse(kIconMargin, kIconMargin, kIconSize - 2 * kIconMargin, kIconSize - 2 * kIconMargin);
  QPen pen{QColor(kIconArrow)};
  pen.setWidth(kIconPenWidth);
  pen.setCapStyle(Qt::RoundCap);
  painter.setPen(pen);
  const int mid = kIconSize / 2;
  const int top = kIconSize / 4;
  const int bottom = kIconSize * 3 / 4;
  const int wing = kIconSize / 5;
  painter.drawLine(mid, top, mid, bottom);
  painter.drawLine(mid - wing, bottom - wing, mid, bottom);
  painter.drawLine(mid + wing, bottom - wing, mid, bottom);
  return QIcon(pixmap);
}

// Hands the steps' reports from the worker thread to the dialog.
class PostingProgress final : public UpdateProgress {
 public:
  explicit PostingProgress(platform::WindowId dialog) : dialog_(dialog) {}
  void AddLine(const std::string& line) override { PostText(kUpdateProgressLine, line); }
  void SetStatus(const std::string& text) override { PostText(kUpdateStatus, text); }
  void SetPercent(int percent) override {
    platform::NotifyWindow(dialog_, kUpdatePercentMessage, static_cast<platform::WParam>(percent), 0);
  }
  void ShowError(const std::string& text) override { PostText(kUpdateErrorBox, text); }

 private:
  void PostText(platform::OwnedPayload<std::string> shape, const std::string& text) {
    platform::PostPayload(dialog_, shape, 0, std::make_unique<std::string>(text));
  }
  platform::WindowId dialog_;
};

}  // namespace

CUpdateDlg::CUpdateDlg(UpdateRunParams params, HttpUrlParts url, std::string programFolder, QWidget* parent)
    : QDialog(parent), params_(std::move(params)), url_(std::move(url)), programFolder_(std::move(programFolder)) {
  setObjectName(QString::number(kDialogId));
  setWindowTitle(platform::FromNarrow(kDialogCaption));
  resize(kDialogWidth, kDialogHeight);

  list_ = new QListWidget(this);
  list_->setObjectName(QString::number(kIdProgressList));
  bar_ = new QProgressBar(this);
  bar_->setObjectName(QString::number(kIdProgressBar));
  bar_->setRange(0, kProgressMaxPercent);
  bar_->setValue(0);
  status_ = new QLabel(platform::FromNarrow(kStatusInitial), this);
  status_->setObjectName(QString::number(kIdStatus));
  status_->setTextFormat(Qt::PlainText);  // the status can carry the server's words
  next_ = new QPushButton(platform::FromNarrow(kLabelNext), this);
  next_->setObjectName(QString::number(kIdNext));
  next_->setDefault(true);
  cancel_ = new QPushButton(platform::FromNarrow(kLabelCancel), this);
  cancel_->setObjectName(QString::number(kIdCancel));

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(next_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addWidget(bar_);
  layout->addWidget(status_);
  layout->addLayout(buttons);

  connect(next_, &QPushButton::clicked, this, [this] { OnNextButton(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { OnCancelButton(); });
}

CUpdateDlg::~CUpdateDlg() {
  if (client_) client_->RequestAbort();
  JoinWorker();
  if (waitCursor_) QApplication::restoreOverrideCursor();
}

int CUpdateDlg::RunModal() {
  int result = QDialog::Rejected;
  QEventLoop loop;
  connect(this, &QDialog::finished, &loop, [&](int r) {
    result = r;
    loop.quit();
  });
  setWindowModality(Qt::ApplicationModal);
  if (!OnInitDialog()) return result;
  if (!params_.silent && !ended_) show();
  if (!ended_) loop.exec();
  return result;
}

bool CUpdateDlg::OnInitDialog() {
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  setWindowIcon(MakeUpdateIcon());
  client_ = HttpClient::Open(url_.host, url_.port);
  if (!client_) {
    platform::ShowMessageBox(kUpdateAppTitle, kSocketInitFailedText, platform::MessageBoxIcon::Error);
    EndDialog(QDialog::Rejected);
    return false;
  }
  AddProgressLine(
      platform::FromNarrow(std::string(kLineCurrentVersion) + params_.programName + " " + params_.currentVersion));
  if (params_.silent) {
    hide();
    StartVersionCheck();
  }
  return true;
}

void CUpdateDlg::OnNextButton() {
  if (!next_->isEnabled() || Busy()) return;
  const QString label = next_->text();
  if (label == platform::FromNarrow(kLabelUpdate)) {
    StartUpdate();
  } else if (label == platform::FromNarrow(kLabelFinish)) {
    EndDialog(QDialog::Accepted);
  } else {
    StartVersionCheck();
  }
}

void CUpdateDlg::OnCancelButton() {
  if (!cancel_->isEnabled()) return;
  // Cancel during the version check stops the request first.
  if (Busy() && client_) client_->RequestAbort();
  JoinWorker();
  EndDialog(QDialog::Rejected);
}

void CUpdateDlg::reject() { OnCancelButton(); }

void CUpdateDlg::showEvent(QShowEvent* event) {
  wasShown_ = true;
  QDialog::showEvent(event);
}

void CUpdateDlg::StartVersionCheck() {
  next_->setEnabled(false);
  HttpClient* client = client_.get();
  const platform::WindowId self = Id();
  const std::string object = url_.object;
  const UpdateRunParams params = params_;
  const std::string folder = programFolder_;
  worker_ = std::thread([client, self, object, params, folder] {
    PostingProgress progress(self);
    auto result = std::make_unique<VersionCheckResult>(
        CheckVersion(*client, object, params.programName, params.currentVersion, folder, progress));
    platform::PostPayload(self, kUpdateCheckDone, 0, std::move(result));
  });
}

void CUpdateDlg::OnVersionChecked(const VersionCheckResult& result) {
  JoinWorker();
  if (params_.silent && result.outcome != VersionCheckOutcome::NewVersion) {
    EndDialog(QDialog::Rejected);
    return;
  }
  switch (result.outcome) {
    case VersionCheckOutcome::NotSent:
      status_->setText(platform::FromNarrow(result.finalStatus));
      if (!result.errorDescription.empty())
        platform::ShowMessageBox(kUpdateAppTitle, result.errorDescription, platform::MessageBoxIcon::Error);
      next_->setEnabled(true);
      break;
    case VersionCheckOutcome::NotOk:
    case VersionCheckOutcome::SaveFailed:
      status_->setText(platform::FromNarrow(result.finalStatus));
      next_->setEnabled(true);
      break;
    case VersionCheckOutcome::SameVersion:
      status_->setText(platform::FromNarrow(result.finalStatus));
      next_->setEnabled(false);
      break;
    case VersionCheckOutcome::NewVersion:
      if (params_.silent) show();
      offeredVersion_ = result.offeredVersion;
      for (const std::string& line : result.summaryLines) AddProgressLine(platform::FromNarrow(line));
      status_->setText(platform::FromNarrow(result.finalStatus));
      next_->setText(platform::FromNarrow(kLabelUpdate));
      next_->setEnabled(true);
      break;
  }
}

void CUpdateDlg::StartUpdate() {
  SetButtonsEnabled(false);
  UpdateJob job{programFolder_, params_.programName, offeredVersion_, false};
  if (FindRunningProgram(params_.programName)) {
    const platform::MessageBoxResult answer =
        platform::ShowMessageBox(kUpdateAppTitle, RunningProgramQuestion(params_.programName),
                                 platform::MessageBoxIcon::Warning, platform::MessageBoxButtons::OkCancel);
    if (answer != platform::MessageBoxResult::Ok) {
      SetButtonsEnabled(true);
      return;
    }
    job.endRunning = true;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  waitCursor_ = true;
  HttpClient* client = client_.get();
  const platform::WindowId self = Id();
  worker_ = std::thread([client, self, job] {
    PostingProgress progress(self);
    const bool installed = RunUpdate(*client, job, progress);
    platform::NotifyWindow(self, kUpdateDoneMessage, installed ? 1 : 0, 0);
  });
}

void CUpdateDlg::OnUpdated() {
  JoinWorker();
  next_->setText(platform::FromNarrow(kLabelFinish));
  if (waitCursor_) QApplication::restoreOverrideCursor();
  waitCursor_ = false;
  SetButtonsEnabled(true);
}

platform::MessageResult CUpdateDlg::OnWindowMessage(std::uint32_t message, platform::WParam wParam,
                                                    platform::LParam lParam) {
  switch (message) {
    case kUpdateProgressLine.message:
      if (const auto text = platform::TakePayload(kUpdateProgressLine, lParam))
        AddProgressLine(platform::FromNarrow(*text));
      return 1;
    case kUpdateStatus.message:
      if (const auto text = platform::TakePayload(kUpdateStatus, lParam)) status_->setText(platform::FromNarrow(*text));
      return 1;
    case kUpdatePercentMessage: bar_->setValue(static_cast<int>(wParam)); return 1;
    case kUpdateErrorBox.message:
      // Take the text before the box: its loop may deliver the next messages.
      if (const auto text = platform::TakePayload(kUpdateErrorBox, lParam))
        platform::ShowMessageBox(kUpdateAppTitle, *text, platform::MessageBoxIcon::Error);
      return 1;
    case kUpdateCheckDone.message:
      if (const auto result = platform::TakePayload(kUpdateCheckDone, lParam)) OnVersionChecked(*result);
      return 1;
    case kUpdateDoneMessage: OnUpdated(); return 1;
    default: return 0;
  }
}

QString CUpdateDlg::NextLabel() const { return next_->text(); }
QString CUpdateDlg::StatusText() const { return status_->text(); }
int CUpdateDlg::ProgressPercent() const { return bar_->value(); }
bool CUpdateDlg::NextEnabled() const { return next_->isEnabled(); }
bool CUpdateDlg::CancelEnabled() const { return cancel_->isEnabled(); }

QStringList CUpdateDlg::ProgressLines() const {
  QStringList lines;
  for (int i = 0; i < list_->count(); ++i) lines << list_->item(i)->text();
  return lines;
}

void CUpdateDlg::AddProgressLine(const QString& line) {
  list_->addItem(line);
  list_->scrollToBottom();
}

void CUpdateDlg::SetButtonsEnabled(bool enabled) {
  next_->setEnabled(enabled);
  cancel_->setEnabled(enabled);
}

void CUpdateDlg::JoinWorker() {
  if (worker_.joinable()) worker_.join();
}

void CUpdateDlg::EndDialog(int result) {
  if (ended_) return;
  ended_ = true;
  // The connection goes before the window does.
  JoinWorker();
  client_.reset();
  done(result);
}

}  // namespace kanzo
