#pragma once
// The version check: fetch the version file, keep it as update.ini in the
// program folder and compare the version it offers with the current one.
#include <cstddef>
#include <string>
#include <vector>

#include "update/http_client.h"
#include "update/update_progress.h"

namespace kanzo {

inline constexpr const char* kVersionFileName = "update.ini";
inline constexpr const char* kVersionFileVersionKey = "VERSION";
inline constexpr const char* kVersionFileIntroKey = "UPDATE_INTRO%d";
inline constexpr const char* kVersionFileFileKey = "FILE%d";
inline constexpr const char* kOfferedVersionDefault = "1.0";
// The largest version file taken from the server.
inline constexpr std::size_t kMaxVersionFileBytes = 64 * 1024;

enum class VersionCheckOutcome {
  NotSent,      // the request could not be sent
  NotOk,        // the answer's status is not 200
  SaveFailed,   // update.ini could not be written (or the answer broke off)
  SameVersion,  // the offered version equals the current one byte for byte
  NewVersion    // any other version, an older one included
};

struct VersionCheckResult {
  VersionCheckOutcome outcome = VersionCheckOutcome::NotSent;
  // What the interactive dialog shows when the check ends.
  std::string finalStatus;
  // The HTTP layer's description of a send failure, for a box (may be empty).
  std::string errorDescription;
  std::string offeredVersion;
  // The summary block (with its frame lines), empty without a summary.
  std::vector<std::string> summaryLines;
};

// The check: asks the server for the offered version, compares it with the
// installed one and, when newer, reads the summary and the file list.
// Statuses go to `progress` as they are reached;
// the final status, the box and the summary lines are left to the caller,
// because silent mode shows none of them.
VersionCheckResult CheckVersion(HttpClient& client, const std::string& object, const std::string& programName,
                                const std::string& currentVersion, const std::string& programFolder,
                                UpdateProgress& progress);

// Numbered keys ("UPDATE_INTRO%d", "FILE%d") from 1 up to the first that is
// missing or empty.
std::vector<std::string> ReadNumberedKeys(const std::string& iniText, const std::string& section,
                                          const char* keyFormat);

// The whole text of a file ("" when it cannot be read).
std::string ReadWholeFile(const std::string& path);

}  // namespace kanzo
