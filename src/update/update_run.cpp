#include "update/update_run.h"

#include <algorithm>
#include <cstdio>

#include "platform/clock.h"
#include "platform/process.h"
#include "update/file_download.h"
#include "update/file_install.h"
#include "update/update_texts.h"
#include "update/version_check.h"

namespace kanzo {
namespace {
// Ending the client is meant to be immediate; a short grace lets it go
// cleanly if it can.
constexpr int kEndProgramGraceMs = 500;
}  // namespace

std::optional<pid_t> FindRunningProgram(const std::string& programName) {
  const std::vector<pid_t> found = platform::FindProcessesByName(programName);
  if (found.empty()) return std::nullopt;
  return found.front();
}

std::string RunningProgramQuestion(const std::string& programName) { return programName + kAskEndRunningTail; }

bool EndRunningProgram(pid_t pid) { return platform::EndProcess(pid, kEndProgramGraceMs); }

std::vector<std::string> ReadFileList(const std::string& programFolder, const std::string& programName) {
  return FileListFromText(ReadWholeFile(programFolder + kVersionFileName), programName);
}

std::vector<std::string> FileListFromText(const std::string& text, const std::string& programName) {
  std::vector<std::string> names;
  for (const std::string& listed : ReadNumberedKeys(text, programName, kVersionFileFileKey)) {
    std::string name = NormalizeListedName(listed);
    // A name listed twice would back up the new file over the old backup.
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(std::move(name));
  }
  return names;
}

bool EndRunningProgramByName(const std::string& programName) {
  // Looked up again now: the process found before the question may have
  // ended, and its id may belong to another process by now.
  for (const pid_t pid : platform::FindProcessesByName(programName)) {
    if (!EndRunningProgram(pid)) return false;
  }
  return true;
}

bool RunUpdate(HttpClient& client, const UpdateJob& job, UpdateProgress& progress) {
  const std::vector<std::string> names = ReadFileList(job.programFolder, job.programName);
  bool ok = true;
  if (job.endRunning && !EndRunningProgramByName(job.programName)) {
    progress.AddLine(job.programName + kLineEndProgramFailed);
    ok = false;
  }
  for (const std::string& name : names) {
    if (!IsSafeListedName(name)) {
      progress.AddLine(kLineUnsafeNameHead + name + kLineUnsafeNameTail);
      ok = false;
      break;
    }
  }
  for (std::size_t i = 0; ok && i < names.size(); ++i) {
    ok = DownloadFile(client, job.programFolder, names[i], platform::CurrentClock().NowSeconds(), progress);
  }
  if (ok) ok = InstallFiles(job.programFolder, names, {job.programName, kUpdaterProgramFile}, progress);
  if (ok) {
    progress.AddLine(kLineUpdatedVersion + job.programName + " " + job.offeredVersion);
    progress.SetStatus(kStatusUpdateDone);
  } else {
    // The files downloaded before a failure are not installed by anyone.
    for (const std::string& name : names) {
      if (IsSafeListedName(name)) std::remove((job.programFolder + name + kNewFileSuffix).c_str());
    }
    progress.SetStatus(kStatusUpdateIncomplete);
  }
  std::remove((job.programFolder + kVersionFileName).c_str());
  return ok;
}

}  // namespace kanzo
