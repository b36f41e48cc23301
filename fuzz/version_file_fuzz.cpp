// Fuzz target of the updater's version-file handling: any text as the saved
// update.ini, read for the offered version, the summary lines and the file
// list. A listed name taken as safe must stay inside the program folder,
// and its request object must be a path on the server.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/ini_file.h"
#include "update/file_download.h"
#include "update/update_run.h"
#include "update/version_check.h"

namespace {

constexpr const char* kProgram = "Kanzo";
constexpr std::int64_t kNow = 1700000000;

bool LeavesTheFolder(const std::string& name) {
  if (name.empty() || name.front() == '/') return true;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = name.find('/', start);
    if (std::string_view(name).substr(start, end == std::string::npos ? std::string::npos : end - start) == "..")
      return true;
    if (end == std::string::npos) return false;
    start = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string offered = kanzo::platform::ReadProfileStringFromText(text, kProgram, kanzo::kVersionFileVersionKey,
                                                                         kanzo::kOfferedVersionDefault);
  if (offered.size() > kanzo::platform::kProfileValueMaxBytes) std::abort();
  (void)kanzo::ReadNumberedKeys(text, kProgram, kanzo::kVersionFileIntroKey);
  for (const std::string& name : kanzo::FileListFromText(text, kProgram)) {
    if (name.find('\\') != std::string::npos) std::abort();  // separators are normalised
    if (!kanzo::IsSafeListedName(name)) continue;
    if (LeavesTheFolder(name) || name.find('\0') != std::string::npos) std::abort();
    if (kanzo::DownloadObjectFor(name, kNow).front() != '/') std::abort();
  }
  return 0;
}
