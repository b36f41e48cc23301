// Fuzz target of the INI reader as config.ini and update.ini are read: any
// text, every key the program asks for, with the program's defaults and
// bounds. A value never passes its bound, and a key is found the same way
// however often it is asked.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/ini_file.h"

namespace {

struct Lookup {
  const char* section;
  const char* key;
};

// config.ini's keys, then update.ini's.
constexpr Lookup kLookups[] = {
    {"Kanzo", "SERVER_HOST"}, {"Kanzo", "LOG_LEVEL"},     {"Kanzo", "SOFT_NAME"}, {"Kanzo", "VERSION"},
    {"Kanzo", "UPDATE_URL"},  {"Kanzo", "UPDATE_INTRO1"}, {"Kanzo", "FILE1"},     {"Kanzo", "FILE2"},
    {"", "VERSION"},          {"kanzo", "version"},
};
constexpr std::size_t kSmallBound = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const Lookup& lookup : kLookups) {
    const std::string value = kanzo::platform::ReadProfileStringFromText(text, lookup.section, lookup.key, "default");
    if (value.size() > kanzo::platform::kProfileValueMaxBytes) std::abort();
    if (kanzo::platform::ReadProfileStringFromText(text, lookup.section, lookup.key, "default") != value) std::abort();
    const std::string small =
        kanzo::platform::ReadProfileStringFromText(text, lookup.section, lookup.key, "", kSmallBound);
    if (small.size() > kSmallBound) std::abort();
  }
  return 0;
}
