#pragma once
#include <string>

namespace kanzo {

inline constexpr const char* kVersionFileVersion = "FileVersion";
inline constexpr const char* kVersionFileDescription = "FileDescription";
inline constexpr const char* kVersionError = "ERROR";

// One string of the program's version resource with every ", " turned into
// "." (1, 0, 0, 1 reads 1.0.0.1). A name the resource does not hold shows the
// failing step's box and yields "ERROR".
std::string GetModuleVersionString(const std::string& name);

}  // namespace kanzo
