#include "app/kanzo_app.h"

#include <chrono>
#include <thread>

#include "app/command_line.h"
#include "app/config.h"
#include "app/crash_handler.h"
#include "app/host_resolver.h"
#include "app/module_version.h"
#include "app/updater_launch.h"
#include "app/version_info.h"
#include "chat/chat_dlg.h"
#include "controls/skin_kit.h"
#include "db/db_manager.h"
#include "log/cx_log.h"
#include "net/network_startup.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/program_folder.h"
#include "protocol/commands.h"
#include "protocol/message.h"
#include "protocol/msg.h"
#include "protocol/startup_codecs.h"
#include "records/agent_requests.h"

namespace kanzo {
namespace {

constexpr const char* kStartLine = "==================系统启动==================";
constexpr const char* kExitLine = "==================系统退出==================";
constexpr const char* kRestartNoticeCaption = "提醒";
constexpr const char* kRestartNoticeText = "您的账户在其它地方登录，应用被迫下线";
constexpr const char* kResolveFailedCaption = "错误";
constexpr const char* kResolveFailedText = "服务器地址解析失败，应用退出";
constexpr int kExitPauseMs = 200;
// The presence notice's text that tells the server the agent leaves.
constexpr const char* kLogoutBody = "1";

}  // namespace

CKanzoApp::CKanzoApp(std::vector<std::string> args, std::string programFolder, std::string programPath)
    : args_(std::move(args)),
      programFolder_(std::move(programFolder)),
      programPath_(std::move(programPath)),
      records_(std::make_unique<Records>()),
      context_{[](Message& message) { return SendNetworkMessage(message); },
               platform::CurrentClock(),
               *records_,
               router_,
               database_,
               &factories_,
               {}} {
  if (programFolder_.empty()) programFolder_ = platform::ProgramFolder();
  if (programPath_.empty()) programPath_ = platform::ProgramPath();
  if (programFolder_.back() != '/') programFolder_ += '/';
}

CKanzoApp::~CKanzoApp() {
  // Application-wide objects go in this order: the network thread ends
  // before anything it delivers to is freed; then the chat window, whose
  // store thread stores every line still queued while the records it reads
  // still exist; the window future outlives the windows that registered
  // with it; the records go last.
  StopNetwork();
  factories_.DestroyApplicationWindows();
  ReleaseWindowNetworkFuture();
  records_.reset();
}

bool CKanzoApp::InitInstance() {
  // The crash handler, before anything else can fail.
  InstallCrashHandler(programFolder_ + kCrashFolderName);

  // The log threshold, then the start line.
  std::int32_t level = kLogInfo;
  if (LogLevelFromConfigWord(ReadConfigStringIn(programFolder_, kConfigLogLevel, kDefaultLogLevelWord), &level))
    CxLog::Instance().SetLevel(level);
  KLOG_INFO("%s", kStartLine);

  // Version strings, kept for the whole run.
  version_ = GetModuleVersionString(kVersionFileVersion);
  description_ = GetModuleVersionString(kVersionFileDescription);
  context_.program = ProgramTexts{version_, description_};

  // The instance started after a forced log-off tells the agent why.
  if (CommandLineRequestsRestart(args_))
    platform::ShowMessageBox(kRestartNoticeCaption, kRestartNoticeText, platform::MessageBoxIcon::Error);

  // The window platform is up (the program made it before this object);
  // the drawing layer reads its pictures from the program folder.
  SkinKit::SetPictureFolder(programFolder_);
  SkinKit::Init();

  // The updater and the animated-picture component.
  OnUpdate();
  RegistDLL();

  // The bodies the client sends and receives.
  RegisterStartupCodecs();

  // The local database; a failure is logged and the start goes on.
  DBManager::Init();

  // The chat server's address; without it the program cannot work.
  const std::string host = ReadConfigStringIn(programFolder_, kConfigServerHost, version_resource::kDefaultServerHost);
  const std::string address = GetAddressByHostName(host);
  if (address.empty()) {
    platform::ShowMessageBox(kResolveFailedCaption, kResolveFailedText, platform::MessageBoxIcon::Error);
    return false;
  }

  // The connection proceeds in the background from here on.
  StartNetwork(address, kChatServerPort);

  // The login window runs the agent's whole session.
  const int loginResult = RunLoginWindow();

  // A forced log-off cleared the agent id, so neither the database
  // row nor the server hears of it; the new instance explains.
  const SharedAgentRecord& agent = records_->agent;
  if (agent.IsLoggedIn()) DBManager::MarkLoggedOut(agent.Copy().userName);
  if (loginResult == kLoginResultForcedOffline) {
    RestartSelf();
  } else if (agent.IsLoggedIn()) {
    LoginOut();
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
  // A failure is not reported: the client works without its updater.
  if (StartUpdater(BuildUpdaterCommand(programFolder_, version_, version_resource::kUpdateHost,
                                       platform::CurrentClock().NowSeconds())))
    KLOG_INFO("后台更新服务启动成功");
}

int CKanzoApp::RunLoginWindow() {
  if (!loginWindowRunner_) return kLoginResultClosed;
  return loginWindowRunner_(context_);
}

void CKanzoApp::LoginOut() {
  Msg body = AgentRequest(records_->agent.Triple(), kLogoutBody);
  Message message(true);
  message.command = kCommandUpdateKFState;
  message.setBody(&body);
  // Queued only: the network gives the queue a moment to drain at exit and
  // logs frames it could not send.
  if (SendNetworkMessage(message) == 0) {
    KLOG_INFO("退出登录");
  } else {
    KLOG_ERROR("退出登录的请求无法发出");
  }
}

void CKanzoApp::RestartSelf() {
  if (platform::StartProcess(programPath_, {kRestartArgument}) < 0) {
    KLOG_ERROR("重新启动失败：%s", programPath_.c_str());
  }
}

}  // namespace kanzo
