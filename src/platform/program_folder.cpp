#include "platform/program_folder.h"

#include <limits.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace kanzo::platform {

std::string ProgramPath() {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
  if (n <= 0) return {};
  return std::string(buf, static_cast<size_t>(n));
}

std::string ProgramFolder() {
  const std::string path = ProgramPath();
  const auto slash = path.rfind('/');
  if (path.empty() || slash == std::string::npos) return "./";
  return path.substr(0, slash + 1);
}

bool EnsureFolder(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  return std::filesystem::is_directory(path, ec);
}

}  // namespace kanzo::platform
