#include "app/config.h"

#include "platform/ini_file.h"
#include "platform/program_folder.h"

namespace kanzo {

std::string ReadConfigStringIn(const std::string& folder, std::string_view key, std::string_view defaultValue) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path += '/';
  path += kConfigFileName;
  return platform::ReadProfileString(path, kConfigSection, key, defaultValue);
}

std::string ReadConfigString(std::string_view key, std::string_view defaultValue) {
  return ReadConfigStringIn(platform::ProgramFolder(), key, defaultValue);
}

}  // namespace kanzo
