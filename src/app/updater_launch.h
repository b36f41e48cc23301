#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kanzo {

inline constexpr const char* kUpdaterFileName = "Update_V1.0";
inline constexpr const char* kProgramName = "Kanzo";
inline constexpr const char* kUpdatePagePath = "/update.html";
inline constexpr const char* kUpdateRandomQuery = "?random=";

struct UpdaterCommand {
  std::string path;               // the updater in the program folder
  std::vector<std::string> args;  // program name, version, version-file address
  std::string commandLine;        // "%s %s": path, blank, the arguments
};

// The updater's command line for this program version at `nowSeconds`.
UpdaterCommand BuildUpdaterCommand(const std::string& programFolder, const std::string& version,
                                   const std::string& updateHost, std::int64_t nowSeconds);

// Starts the updater without waiting; false when it could not be started
// (no updater beside the program).
bool StartUpdater(const UpdaterCommand& command);

}  // namespace kanzo
