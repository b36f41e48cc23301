#pragma once
// Downloading one listed file into "<program folder><name>.upg".
#include <cstdint>
#include <string>

#include "update/http_client.h"
#include "update/update_progress.h"

namespace kanzo {

inline constexpr const char* kNewFileSuffix = ".upg";
inline constexpr const char* kBackupFileSuffix = ".bak";
// No program file comes near this; a larger download is refused.
inline constexpr std::int64_t kMaxDownloadBytes = std::int64_t{512} * 1024 * 1024;

// A listed name with '/' between folders (a '\' written for Windows becomes '/').
std::string NormalizeListedName(const std::string& name);

// False for a name that would write outside the program folder: an absolute
// path, a drive name, or a ".." step.
bool IsSafeListedName(const std::string& name);

// The request object of a listed file, from the server's root:
// "/<name>?random=<now>" (or "&random=" when the name holds a query).
std::string DownloadObjectFor(const std::string& name, std::int64_t nowSeconds);

// Fetches `name` into its ".upg" file, creating the folders on the way, and
// adds "下载完成" or "下载失败" to the list. A status other than 200, an
// empty answer, an answer short of or past its Content-Length, or one past
// kMaxDownloadBytes fails, and leaves no ".upg" behind.
bool DownloadFile(HttpClient& client, const std::string& programFolder, const std::string& name,
                  std::int64_t nowSeconds, UpdateProgress& progress);

}  // namespace kanzo
