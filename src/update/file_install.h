#pragma once
// Putting downloaded files in place with a backup of each replaced file, and
// putting the backups back when that fails.
#include <string>
#include <vector>

#include "update/update_progress.h"

namespace kanzo {

// The updater's own file in the program folder.
inline constexpr const char* kUpdaterProgramFile = "Update_V1.0";

// Installs every "<name>.upg" in list order. A file that replaces another
// keeps the mode of the one it replaces; a new file gets 0755 when its name
// is one of `programs`, else 0644. When a rename fails, the files replaced
// so far are restored and every ".upg" is deleted; false then. After a full
// install every ".bak" and ".upg" of the list is deleted.
bool InstallFiles(const std::string& programFolder, const std::vector<std::string>& names,
                  const std::vector<std::string>& programs, UpdateProgress& progress);

// Puts "<name>.bak" back in place of each name that has one. False when a
// backup could not be put back.
bool RestoreFiles(const std::string& programFolder, const std::vector<std::string>& names, UpdateProgress& progress);

}  // namespace kanzo
