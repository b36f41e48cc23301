#include "update/file_install.h"

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

bool InstallFiles(const std::string& programFolder, const std::vector<std::string>& names, UpdateProgress& progress) {
  // Only the backups this install made are put back: a ".bak" left over from
  // an earlier, interrupted run belongs to a file this install never touched.
  std::vector<std::string> backedUp;
  for (const std::string& name : names) {
    const std::string path = programFolder + name;
    const std::string upgrade = path + kNewFileSuffix;
    const std::string backup = path + kBackupFileSuffix;
    bool ok = true;
    if (!Exists(path)) {
      ok = Rename(upgrade, path);
    } else {
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
