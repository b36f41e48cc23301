#pragma once
#include <string>

namespace kanzo::platform {

// Full path of the running executable (/proc/self/exe), empty if unreadable.
std::string ProgramPath();

// The folder of the running executable with a trailing "/", or "./" when the
// executable's path cannot be read.
std::string ProgramFolder();

// Creates a folder and its parents; true when it exists afterwards.
bool EnsureFolder(const std::string& path);

}  // namespace kanzo::platform
