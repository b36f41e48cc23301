#pragma once
// The updater's run parameters: from the command line (silent mode) or from
// config.ini in the program folder (interactive), and the version file's
// address split into host, port and object.
#include <string>
#include <vector>

namespace kanzo {

inline constexpr const char* kUpdateDefaultSoftName = "Kanzo";
inline constexpr const char* kUpdateDefaultVersion = "1.0";
inline constexpr int kHttpDefaultPort = 80;

struct UpdateRunParams {
  std::string programName;
  std::string currentVersion;
  std::string versionFileUrl;
  bool silent = false;
};

struct HttpUrlParts {
  std::string host;
  int port = kHttpDefaultPort;
  std::string object;  // path with query, always beginning with "/"
};

enum class UpdateArgsOutcome {
  Run,     // parameters are ready
  Usage,   // one or two arguments: show the usage box and end
  NotHttp  // the address is not a plain http:// address: show the box and end
};

struct UpdateArgsResult {
  UpdateArgsOutcome outcome = UpdateArgsOutcome::Run;
  UpdateRunParams params;
  HttpUrlParts url;
};

// The version file's address when config.ini names none.
std::string DefaultVersionFileUrl();

// Splits an http:// address (scheme compared without regard to case).
// False for any other scheme, an empty host or a port that is not a number
// from 1 to 65535.
bool SplitHttpUrl(const std::string& url, HttpUrlParts* parts);

// `args` are the arguments after the program's own path; arguments beyond
// the third are ignored. Without arguments config.ini in `programFolder` is
// read.
UpdateArgsResult ReadUpdateRunParams(const std::vector<std::string>& args, const std::string& programFolder);

}  // namespace kanzo
