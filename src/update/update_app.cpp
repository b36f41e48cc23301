#include "update/update_app.h"

#include "platform/message_box.h"
#include "platform/program_folder.h"
#include "update/update_dlg.h"
#include "update/update_params.h"
#include "update/update_texts.h"

namespace kanzo {

CUpdateApp::CUpdateApp(std::vector<std::string> args, std::string programFolder)
    : args_(std::move(args)), programFolder_(std::move(programFolder)) {
  if (programFolder_.empty()) programFolder_ = platform::ProgramFolder();
  if (programFolder_.back() != '/') programFolder_ += '/';
}

CUpdateApp::~CUpdateApp() = default;

bool CUpdateApp::InitInstance() {
  const UpdateArgsResult read = ReadUpdateRunParams(args_, programFolder_);
  switch (read.outcome) {
    case UpdateArgsOutcome::Usage:
      platform::ShowMessageBox(kUpdateAppTitle, kUsageText, platform::MessageBoxIcon::Error);
      return false;
    case UpdateArgsOutcome::NotHttp:
      platform::ShowMessageBox(kUpdateAppTitle, kUrlNotHttpText, platform::MessageBoxIcon::Error);
      return false;
    case UpdateArgsOutcome::Run: break;
  }
  dialog_ = std::make_unique<CUpdateDlg>(read.params, read.url, programFolder_);
  dialog_->RunModal();
  return false;
}

}  // namespace kanzo
