#include "sim_text.h"

#include <time.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <sstream>

namespace kanzo {

namespace {
constexpr std::size_t kDateTimeBytes = 32;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

std::string CommandWords::TextFrom(std::size_t index) const {
  if (index >= wordStarts.size()) return {};
  std::string text = line.substr(wordStarts[index]);
  while (!text.empty() && IsBlank(text.back())) text.pop_back();
  return text;
}

bool SplitCommandLine(const std::string& line, CommandWords* out, std::string* error) {
  *out = CommandWords{};
  out->line = line;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) break;
    const std::size_t start = i;
    std::string word;
    bool inQuotes = false;
    while (i < line.size() && (inQuotes || !IsBlank(line[i]))) {
      const char c = line[i];
      if (c == '"') {
        inQuotes = !inQuotes;
        ++i;
        continue;
      }
      if (inQuotes && c == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
        word.push_back(line[i + 1]);
        i += 2;
        continue;
      }
      word.push_back(c);
      ++i;
    }
    if (inQuotes) {
      if (error != nullptr) *error = "引号未闭合";
      return false;
    }
    out->words.push_back(word);
    out->rawWords.push_back(line.substr(start, i - start));
    out->wordStarts.push_back(start);
  }
  return true;
}

std::map<std::string, std::string> TakeOptions(const CommandWords& words, std::size_t first,
                                               std::vector<std::size_t>* rest) {
  std::map<std::string, std::string> options;
  for (std::size_t i = first; i < words.size(); ++i) {
    const std::string& raw = words.rawWords[i];
    const auto eq = raw.find('=');
    // Only a bare name before '=' makes an option; "a=b" inside quotes or a
    // text such as "价格=100元?" with non-name bytes stays text.
    bool isOption = eq != std::string::npos && eq > 0 && raw[0] != '"';
    for (std::size_t k = 0; isOption && k < eq; ++k) {
      const char c = raw[k];
      isOption = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
    }
    if (isOption) {
      const std::string& word = words.words[i];
      options[word.substr(0, word.find('='))] = word.substr(word.find('=') + 1);
    } else if (rest != nullptr) {
      rest->push_back(i);
    }
  }
  return options;
}

std::optional<std::int64_t> ParseInteger(const std::string& text) {
  if (text.empty()) return std::nullopt;
  std::size_t i = 0;
  bool negative = false;
  if (text[0] == '-' || text[0] == '+') {
    negative = text[0] == '-';
    i = 1;
  }
  if (i >= text.size()) return std::nullopt;
  std::int64_t value = 0;
  constexpr std::int64_t kLimit = INT64_MAX / 10 - 10;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    if (value > kLimit) return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

std::string CompactJson(const Json::Value& value) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  builder["emitUTF8"] = true;
  return Json::writeString(builder, value);
}

bool ParseJson(const std::string& text, Json::Value* out, std::string* error) {
  Json::CharReaderBuilder builder;
  builder["collectComments"] = false;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::string errors;
  const bool ok = reader->parse(text.data(), text.data() + text.size(), out, &errors);
  if (!ok && error != nullptr) *error = errors;
  return ok;
}

std::string LocalDateTime(std::int64_t secondsSinceEpoch) {
  const time_t t = static_cast<time_t>(secondsSinceEpoch);
  struct tm local {};
  localtime_r(&t, &local);
  char text[kDateTimeBytes];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

std::string LocalDate(std::int64_t secondsSinceEpoch) { return LocalDateTime(secondsSinceEpoch).substr(0, 10); }

std::string EscapeForLine(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      out += hex;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace kanzo
