#pragma once
// Private-profile reader for config.ini and update.ini: section and key names
// are compared without regard to case, values are trimmed and cut to
// maxBytes, and a missing file, section or key yields the default.
#include <string>
#include <string_view>

namespace kanzo::platform {

inline constexpr std::size_t kProfileValueMaxBytes = 259;

std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view defaultValue, std::size_t maxBytes = kProfileValueMaxBytes);

// Same rules over text already in memory (update.ini arrives over HTTP).
std::string ReadProfileStringFromText(std::string_view text, std::string_view section, std::string_view key,
                                      std::string_view defaultValue, std::size_t maxBytes = kProfileValueMaxBytes);

}  // namespace kanzo::platform
