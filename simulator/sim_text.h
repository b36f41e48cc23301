#pragma once
// Small text helpers of the simulator: command words, key=value options,
// compact JSON, and the date-time texts the client expects.
#include <json/json.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kanzo {

// One control or scenario command split into its words. Words are separated
// by blanks; a word in double quotes keeps its blanks ("\"" and "\\" escape).
// `key=value` words become options; everything after the first plain word
// that is not consumed as an argument is the free text (see TextAfter).
struct CommandWords {
  std::vector<std::string> words;       // every word, quotes removed
  std::vector<std::string> rawWords;    // every word as written
  std::vector<std::size_t> wordStarts;  // offset of each word in the line
  std::string line;                     // the line as given

  std::size_t size() const { return words.size(); }
  const std::string& at(std::size_t i) const { return words.at(i); }
  // The line from word `index` on, as written (blanks kept); "" past the end.
  std::string TextFrom(std::size_t index) const;
};

// Splits a line into words; false when a quote is left open.
bool SplitCommandLine(const std::string& line, CommandWords* out, std::string* error);

// Options of the form key=value among words [first, end); the remaining
// words' indices go to `rest` in order.
std::map<std::string, std::string> TakeOptions(const CommandWords& words, std::size_t first,
                                               std::vector<std::size_t>* rest);

// Decimal integer parse of the whole text; nullopt on anything else.
std::optional<std::int64_t> ParseInteger(const std::string& text);

// Compact JSON as the client writes it: members in key order, no blanks,
// without the trailing line end.
std::string CompactJson(const Json::Value& value);

// Parses JSON text; false (and `error` filled) when it is not JSON.
bool ParseJson(const std::string& text, Json::Value* out, std::string* error = nullptr);

// Local time as "YYYY-MM-DD HH:MM:SS" (19 characters).
std::string LocalDateTime(std::int64_t secondsSinceEpoch);
// Local date as "YYYY-MM-DD", for counting "today".
std::string LocalDate(std::int64_t secondsSinceEpoch);

// Replaces control characters for one-line logs: line end as "\n", tab as
// "\t", other bytes below 0x20 as "\xNN"; "\" itself as "\\".
std::string EscapeForLine(const std::string& text);

}  // namespace kanzo
