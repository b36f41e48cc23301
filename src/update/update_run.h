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
// Ends every process named after the program, found at this moment; true
// when none is left running.
bool EndRunningProgramByName(const std::string& programName);

// The "FILE%d" list of the saved update.ini, names with '/' separators,
// each listed once.
std::vector<std::string> ReadFileList(const std::string& programFolder, const std::string& programName);
// The same list from the version file's text.
std::vector<std::string> FileListFromText(const std::string& text, const std::string& programName);

struct UpdateJob {
  std::string programFolder;
  std::string programName;
  std::string offeredVersion;
  // The user agreed to end the running client before anything is
  // replaced; it is looked up by name right before it is ended.
  bool endRunning = false;
};

// The update (and the end of the running client when asked). True when every
// listed file was installed; otherwise the status says the update did not
// complete and no downloaded file is left behind.
bool RunUpdate(HttpClient& client, const UpdateJob& job, UpdateProgress& progress);

}  // namespace kanzo
