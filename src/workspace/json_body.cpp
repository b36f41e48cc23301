#include "workspace/json_body.h"

#include <json/reader.h>
#include <json/writer.h>

#include <memory>

#include "platform/narrow_text.h"

namespace kanzo {

bool ParseJsonBody(std::string_view narrowText, Json::Value* out) {
  *out = Json::Value();
  const std::string utf8 = platform::NarrowToUtf8(narrowText);
  Json::CharReaderBuilder builder;
  // A body is one document: "4 and more" is not the integer 4.
  builder["failIfExtra"] = true;
  builder["rejectDupKeys"] = false;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::string errors;
  Json::Value parsed;
  try {
    if (!reader->parse(utf8.data(), utf8.data() + utf8.size(), &parsed, &errors)) return false;
  } catch (const std::exception&) {
    // The reader throws on nesting deeper than its stack limit; a body from
    // the server must never end the client.
    return false;
  }
  *out = std::move(parsed);
  return true;
}

const Json::Value& JsonMember(const Json::Value& value, const char* key) {
  static const Json::Value kNull;
  if (!value.isObject()) return kNull;
  const Json::Value* member = value.find(key, key + std::char_traits<char>::length(key));
  return member ? *member : kNull;
}

std::int32_t JsonInt(const Json::Value& value, std::int32_t fallback) {
  // isInt() also holds for a real without fraction in range (3.0).
  return value.isInt() ? value.asInt() : fallback;
}

std::string CompactJsonText(const Json::Value& value) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  builder["emitUTF8"] = true;
  return platform::Utf8ToNarrow(Json::writeString(builder, value));
}

std::string RequestBodyText(const Json::Value& value) {
  // Objects keep their members in a map ordered by key bytes, so the
  // writer already emits them in key order.
  return CompactJsonText(value) + "\n";
}

}  // namespace kanzo
