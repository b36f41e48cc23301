#include "app/module_version.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "app/version_info.h"
#include "platform/message_box.h"

namespace kanzo {
namespace {

// The resource holds one translation: US English, Unicode code page.
constexpr std::uint16_t kLanguage = 0x0409;
constexpr std::uint16_t kCodePage = 0x04b0;
constexpr std::size_t kQueryMaxBytes = 260;

struct Entry {
  std::string_view name;
  const char* value;
};

constexpr std::array kStringFileInfo = {
    Entry{kVersionFileVersion, version_resource::kFileVersion},
    Entry{kVersionFileDescription, version_resource::kFileDescription},
    Entry{"ProductName", version_resource::kProductName},
    Entry{"ProductVersion", version_resource::kFileVersion},
};

std::string DotsForCommaBlanks(std::string value) {
  std::size_t pos = 0;
  while ((pos = value.find(", ", pos)) != std::string::npos) {
    value.replace(pos, 2, ".");
    ++pos;
  }
  return value;
}

}  // namespace

std::string GetModuleVersionString(const std::string& name) {
  char query[kQueryMaxBytes];
  const int n =
      std::snprintf(query, sizeof(query), "\\StringFileInfo\\%04x%04x\\%s", kLanguage, kCodePage, name.c_str());
  if (n < 0 || static_cast<std::size_t>(n) >= sizeof(query)) {
    platform::ShowMessageBox("", "Unable to get information in this language!");
    return kVersionError;
  }
  for (const Entry& e : kStringFileInfo) {
    if (e.name == name) return DotsForCommaBlanks(e.value);
  }
  platform::ShowMessageBox("", "Function <VerQueryValue> for StringFileInfo unsuccessful!");
  return kVersionError;
}

}  // namespace kanzo
