#include "platform/ini_file.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace kanzo::platform {
namespace {

std::string_view Trim(std::string_view s) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string Cut(std::string_view value, std::size_t maxBytes) {
  return std::string(value.substr(0, std::min(value.size(), maxBytes)));
}

}  // namespace

std::string ReadProfileStringFromText(std::string_view text, std::string_view section, std::string_view key,
                                      std::string_view defaultValue, std::size_t maxBytes) {
  bool inSection = false;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = Trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      if (close == std::string_view::npos) continue;
      inSection = EqualsNoCase(Trim(line.substr(1, close - 1)), section);
      continue;
    }
    if (!inSection) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    if (!EqualsNoCase(Trim(line.substr(0, eq)), key)) continue;
    std::string_view value = Trim(line.substr(eq + 1));
    // A value wrapped in matching quotes loses them, as the profile reader does.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    return Cut(value, maxBytes);
  }
  return Cut(defaultValue, maxBytes);
}

std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view defaultValue, std::size_t maxBytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Cut(defaultValue, maxBytes);
  std::ostringstream text;
  text << in.rdbuf();
  return ReadProfileStringFromText(text.str(), section, key, defaultValue, maxBytes);
}

}  // namespace kanzo::platform
