#include <cstring>
#include <string_view>

#include "log/cx_log.h"

namespace kanzo::log_detail {

std::string_view QualifiedFunctionName(const char* prettyFunction) {
  if (!prettyFunction) return {};
  const std::string_view s(prettyFunction);
  // The parameter list starts at the first '(' outside template brackets
  // (a lambda's name holds none before it).
  int depth = 0;
  std::size_t paren = std::string::npos;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '<')
      ++depth;
    else if (c == '>')
      --depth;
    else if (c == '(' && depth == 0) {
      // "operator()" keeps its own parentheses.
      if (i >= 8 && s.compare(i - 8, 8, "operator") == 0 && i + 1 < s.size() && s[i + 1] == ')') {
        ++i;
        continue;
      }
      paren = i;
      break;
    }
  }
  const std::string_view head = s.substr(0, paren);
  // The name is the last blank-separated word outside template brackets.
  depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < head.size(); ++i) {
    const char c = head[i];
    if (c == '<')
      ++depth;
    else if (c == '>')
      --depth;
    else if (c == ' ' && depth == 0)
      start = i + 1;
  }
  std::string_view name = head.substr(start);
  // Drop namespaces of our own so lines read as the class and method.
  constexpr std::string_view ns = "kanzo::";
  while (name.starts_with(ns)) name.remove_prefix(ns.size());
  for (const std::string_view inner : {"platform::", "log_detail::"}) {
    if (name.starts_with(inner)) name.remove_prefix(inner.size());
  }
  return name;
}

const char* SourceFileName(const char* path) {
  if (!path) return nullptr;
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '/' || *p == '\\') name = p + 1;
  return name;
}

}  // namespace kanzo::log_detail
