#pragma once
// Reading the JSON texts that travel in BODY, and writing them back for the
// log. Bodies are program (narrow) text; the parsed values hold UTF-8, as
// on the wire. Nothing here throws on a value of an unexpected type: a
// member of something that is not an object is null, an integer that is
// not one is 0.
#include <json/value.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace kanzo {

// Parses the whole of `narrowText`; false (and `out` null) when it is not
// one JSON document.
bool ParseJsonBody(std::string_view narrowText, Json::Value* out);

// The member `key` of an object; null for anything else.
const Json::Value& JsonMember(const Json::Value& value, const char* key);

// The value as a 32-bit integer; `fallback` when it is not an integer.
std::int32_t JsonInt(const Json::Value& value, std::int32_t fallback = 0);

// Compact JSON text (no blanks, no line end) in program text.
std::string CompactJsonText(const Json::Value& value);

// The text of a request body: compact, UTF-8 kept as it is (never \uXXXX),
// members in ascending key order, and one "\n" after the value, in program
// text. Every JSON body the client sends is written by this one function.
std::string RequestBodyText(const Json::Value& value);

}  // namespace kanzo
