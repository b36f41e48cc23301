#pragma once
// config.ini beside the program, section "Kanzo". The program never writes it.
#include <string>
#include <string_view>

namespace kanzo {

inline constexpr const char* kConfigFileName = "config.ini";
inline constexpr const char* kConfigSection = "Kanzo";
inline constexpr const char* kConfigServerHost = "SERVER_HOST";
inline constexpr const char* kConfigLogLevel = "LOG_LEVEL";
inline constexpr const char* kConfigSoftName = "SOFT_NAME";
inline constexpr const char* kConfigVersion = "VERSION";
inline constexpr const char* kConfigUpdateUrl = "UPDATE_URL";
inline constexpr const char* kDefaultLogLevelWord = "INFO";

// The chat server's fixed TCP port.
inline constexpr int kChatServerPort = 58089;

// A key of config.ini in the program folder, or the default.
std::string ReadConfigString(std::string_view key, std::string_view defaultValue);
// The same from the config.ini of another folder (tests, the updater).
std::string ReadConfigStringIn(const std::string& folder, std::string_view key, std::string_view defaultValue);

}  // namespace kanzo
