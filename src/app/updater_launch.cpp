#include "app/updater_launch.h"

#include "log/cx_log.h"
#include "platform/process.h"

namespace kanzo {

UpdaterCommand BuildUpdaterCommand(const std::string& programFolder, const std::string& version,
                                   const std::string& updateHost, std::int64_t nowSeconds) {
  UpdaterCommand c;
  c.path = programFolder;
  if (!c.path.empty() && c.path.back() != '/') c.path += '/';
  c.path += kUpdaterFileName;
  const std::string url =
      "http://" + updateHost + kUpdatePagePath + kUpdateRandomQuery + std::to_string(nowSeconds);
  c.args = {kProgramName, version, url};
  std::string joined;
  for (const auto& a : c.args) joined += (joined.empty() ? "" : " ") + a;
  c.commandLine = c.path + " " + joined;
  return c;
}

bool StartUpdater(const UpdaterCommand& command) {
  if (platform::StartProcess(command.path, command.args) < 0) return false;
  KLOG_INFO("后台更新服务启动成功");
  return true;
}

}  // namespace kanzo
