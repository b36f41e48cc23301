#pragma once
// The update behind the button "更新(&U)": end a running client if the user
// agreed, download every listed file, install them, and clean up.
#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "update/http_client.h"
#include "update/update_progress.h"

namespace kanzo {

// A running process whose executable is named after the program (compared
// without regard to case); the first one found.
std::optional<pid_t> FindRunningProgram(const std::string& programName);

// The question asked before a running client is ended.
std::string RunningProgramQuestion(const std::string& programName);

// Ends the process at once; true when it has gone.
bool EndRunningProgram(pid_t pid);

// The "FILE%d" list of the saved update.ini, names with '/' separators,
// each listed once.
std::vector<std::string> ReadFileList(const std::string& programFolder, const std::string& programName);

struct UpdateJob {
  std::string programFolder;
  std::string programName;
  std::string offeredVersion;
  // A running client the user agreed to end before anything is replaced.
  std::optional<pid_t> endFirst;
};

// Steps 3 to 7 of the update (and the end of the running client when asked).
// True when every listed file was installed.
bool RunUpdate(HttpClient& client, const UpdateJob& job, UpdateProgress& progress);

}  // namespace kanzo
