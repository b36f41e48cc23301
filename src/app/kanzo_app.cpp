#include "app/kanzo_app.h"

#include <chrono>
#include <thread>

#include "app/about_dlg.h"
#include "app/command_line.h"
#include "app/config.h"
#include "app/crash_handler.h"
#include "app/host_resolver.h"
#include "app/module_version.h"
#include "app/updater_launch.h"
#include "app/version_info.h"
#include "log/cx_log.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/program_folder.h"

namespace kanzo {
namespace {

constexpr const char* kStartLine = "==================系统启动==================";
constexpr const char* kExitLine = "==================系统退出==================";
constexpr const char* kRestartNoticeCaption = "提醒";
constexpr const char* kRestartNoticeText = "您的账户在其它地方登录，应用被迫下线";
constexpr const char* kResolveFailedCaption = "错误";
constexpr const char* kResolveFailedText = "服务器地址解析失败，应用退出";
constexpr int kExitPauseMs = 200;

CKanzoApp* gCurrentApp = nullptr;

}  // namespace

CKanzoApp::CKanzoApp(std::vector<std::string> args, std::string programFolder)
    : args_(std::move(args)), programFolder_(std::move(programFolder)) {
  if (programFolder_.empty()) programFolder_ = platform::ProgramFolder();
  if (programFolder_.back() != '/') programFolder_ += '/';
  gCurrentApp = this;
}

CKanzoApp::~CKanzoApp() {
  // Application-wide objects are released here, in the order the network
  // thread, the chat window, the window future, the agent record and the
  // shared tables need; each subsystem adds its release as it joins.
  if (gCurrentApp == this) gCurrentApp = nullptr;
}

CKanzoApp* CKanzoApp::Current() { return gCurrentApp; }

bool CKanzoApp::InitInstance() {
  // 1: the crash handler, before anything else can fail.
  InstallCrashHandler(programFolder_ + kCrashFolderName);

  // 2-3: the log threshold, then the start line.
  std::int32_t level = kLogInfo;
  if (LogLevelFromConfigWord(ReadConfigStringIn(programFolder_, kConfigLogLevel, kDefaultLogLevelWord), &level))
    CxLog::Instance().SetLevel(level);
  KLOG_INFO("%s", kStartLine);

  // 4: version strings, kept for the whole run.
  version_ = GetModuleVersionString(kVersionFileVersion);
  description_ = GetModuleVersionString(kVersionFileDescription);

  // 5: the instance started after a forced log-off tells the agent why.
  if (CommandLineRequestsRestart(args_))
    platform::ShowMessageBox(kRestartNoticeCaption, kRestartNoticeText, platform::MessageBoxIcon::Error);

  // 8-9: the updater and the animated-picture component.
  OnUpdate();
  RegistDLL();

  // 12-13: the chat server's address; without it the program cannot work.
  const std::string host = ReadConfigStringIn(programFolder_, kConfigServerHost, version_resource::kDefaultServerHost);
  const std::string address = GetAddressByHostName(host);
  if (address.empty()) {
    platform::ShowMessageBox(kResolveFailedCaption, kResolveFailedText, platform::MessageBoxIcon::Error);
    return false;
  }

  KLOG_INFO("%s", kExitLine);
  std::this_thread::sleep_for(std::chrono::milliseconds(kExitPauseMs));
  return false;
}

std::string CKanzoApp::GetAddressByHostName(const std::string& host) {
  const std::string address = ResolveHostIPv4(host);
  if (address.empty()) {
    KLOG_ERROR("解析服务器域名：[%s] 失败", host.c_str());
  } else {
    KLOG_INFO("解析服务器域名：[%s] IP地址为：[%s]", host.c_str(), address.c_str());
  }
  return address;
}

void CKanzoApp::RegistDLL() {
  // Animated pictures are drawn by the rich view itself; there is no
  // component to copy or register on this platform.
}

void CKanzoApp::OnUpdate() {
  StartUpdater(BuildUpdaterCommand(programFolder_, version_, version_resource::kUpdateHost,
                                   platform::CurrentClock().NowSeconds()));
}

void CKanzoApp::LoginOut() {}

void CKanzoApp::RestartSelf() {
  const std::string self = platform::ProgramPath();
  if (platform::StartProcess(self, {kRestartArgument}) < 0) {
    KLOG_ERROR("重新启动失败：%s", self.c_str());
  }
}

}  // namespace kanzo
