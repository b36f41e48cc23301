#pragma once
// Which file a path names, or an open file is. A file kept open from one
// write to the next (the log, the chat-line store thread's database) is
// opened anew once its path no longer names it: removed, moved away or
// replaced, so that nothing goes on into a file nobody can find.
#include <sys/stat.h>

#include <optional>
#include <string>

namespace kanzo::platform {

struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The file `path` names; none when it names none.
inline std::optional<FileIdentity> IdentityOfPath(const std::string& path) {
  struct stat named {};
  if (stat(path.c_str(), &named) != 0) return std::nullopt;
  return FileIdentity{named.st_dev, named.st_ino};
}

// The file open under `descriptor`.
inline std::optional<FileIdentity> IdentityOfOpenFile(int descriptor) {
  struct stat opened {};
  if (fstat(descriptor, &opened) != 0) return std::nullopt;
  return FileIdentity{opened.st_dev, opened.st_ino};
}

}  // namespace kanzo::platform
