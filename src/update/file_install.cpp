#include "update/file_install.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "update/file_download.h"
#include "update/update_texts.h"

namespace kanzo {
namespace {

bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found && !ec;
}

bool Rename(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

constexpr mode_t kProgramMode = 0755;
constexpr mode_t kDataFileMode = 0644;
constexpr mode_t kPermissionBits = 07777;

// The mode the installed file must have: that of the file it replaces
// (a program must stay runnable), or the default for a new file.
bool GiveInstalledMode(const std::string& upgrade, const std::string& path, const std::string& name,
                       const std::vector<std::string>& programs) {
  struct stat old {};
  mode_t mode = std::find(programs.begin(), programs.end(), name) != programs.end() ? kProgramMode : kDataFileMode;
  if (::stat(path.c_str(), &old) == 0) mode = old.st_mode & kPermissionBits;
  return ::chmod(upgrade.c_str(), mode) == 0;
}

void RemoveIfThere(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

}  // namespace

bool RestoreFiles(const std::string& programFolder, const std::vector<std::string>& names, UpdateProgress& progress) {
  progress.AddLine(kLineRestoreStart);
  bool allRestored = true;
  for (const std::string& name : names) {
    const std::string path = programFolder + name;
    const std::string backup = path + kBackupFileSuffix;
    if (!Exists(backup)) continue;
    // rename() replaces the file in one step, so the old content is either
    // back or still in the backup, never lost in between.
    if (!Rename(backup, path)) {
      progress.AddLine(path + kLineRestoreFailed);
      allRestored = false;
    }
  }
  if (allRestored) progress.AddLine(kLineRestoreDone);
  return allRestored;
}

bool InstallFiles(const std::string& programFolder, const std::vector<std::string>& names,
                  const std::vector<std::string>& programs, UpdateProgress& progress) {
  // Only the backups this install made are put back: a ".bak" left over from
  // an earlier, interrupted run belongs to a file this install never touched.
  std::vector<std::string> backedUp;
  for (const std::string& name : names) {
    const std::string path = programFolder + name;
    const std::string upgrade = path + kNewFileSuffix;
    const std::string backup = path + kBackupFileSuffix;
    bool ok = GiveInstalledMode(upgrade, path, name, programs);
    if (ok && !Exists(path)) {
      ok = Rename(upgrade, path);
    } else if (ok) {
      RemoveIfThere(backup);
      ok = Rename(path, backup);
      if (ok) {
        backedUp.push_back(name);
        ok = Rename(upgrade, path);
      }
    }
    if (!ok) {
      progress.AddLine(name + kLineInstallFailed);
      RestoreFiles(programFolder, backedUp, progress);
      for (const std::string& n : names) RemoveIfThere(programFolder + n + kNewFileSuffix);
      return false;
    }
    progress.AddLine(name + kLineInstalled);
  }
  for (const std::string& n : names) {
    RemoveIfThere(programFolder + n + kBackupFileSuffix);
    RemoveIfThere(programFolder + n + kNewFileSuffix);
  }
  return true;
}

}  // namespace kanzo
