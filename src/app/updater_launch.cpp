#include "app/updater_launch.h"

#include "platform/process.h"

namespace kanzo {

UpdaterCommand BuildUpdaterCommand(const std::string& programFolder, const std::string& version,
                                   const std::string& updateHost, std::int64_t nowSeconds) {
  UpdaterCommand c;
  c.path = programFolder;
  if (!c.path.empty() && c.path.back() != '/') c.path += '/';
  c.path += kUpdaterFileName;
  const std::string url = "http://" + updateHost + kUpdatePagePath + kUpdateRandomQuery + std::to_string(nowSeconds);
  c.args = {kProgramName, version, url};
  std::string joined;
  for (const auto& a : c.args) joined += (joined.empty() ? "" : " ") + a;
  c.commandLine = c.path + " " + joined;
  return c;
}

bool StartUpdater(const UpdaterCommand& command) { return platform::StartProcess(command.path, command.args) >= 0; }

}  // namespace kanzo
