#include "chat/quick_lists.h"

#include "platform/narrow_text.h"
#include "workspace/json_body.h"

namespace kanzo {
namespace {

std::string NarrowString(const Json::Value& value) {
  return value.isString() ? platform::Utf8ToNarrow(value.asString()) : std::string();
}

CommonMessage ReadCommonMessage(const Json::Value& element) {
  CommonMessage m;
  m.content = NarrowString(JsonMember(element, "content"));
  m.uid = JsonInt(JsonMember(element, "uid"));
  m.cmid = JsonInt(JsonMember(element, "cmid"));
  m.ctid = JsonInt(JsonMember(element, "ctid"));
  m.type = JsonInt(JsonMember(element, "type"));
  return m;
}

}  // namespace

QuickListsChange QuickLists::Set(const Json::Value& document) {
  QuickListsChange change;
  if (!document.isObject() && !document.isNull()) return change;

  const Json::Value& common = JsonMember(document, "common");
  if (common.isObject() || common.isNull()) common_ = common;
  const Json::Value& quick = JsonMember(document, "quick");
  if (quick.isArray() || quick.isNull()) quick_ = quick;

  if (!common_.isNull()) {
    change.tree = true;
    categories_.clear();
    // getMemberNames() walks the object's map: ascending byte order,
    // whatever order the server wrote the members in.
    for (const std::string& name : common_.getMemberNames()) {
      const Json::Value& messages = common_[name];
      CommonCategory category;
      category.name = platform::Utf8ToNarrow(name);
      category.count = static_cast<std::int32_t>(messages.isArray() ? messages.size() : 0);
      if (messages.isArray()) {
        for (const Json::Value& element : messages) category.messages.push_back(ReadCommonMessage(element));
      }
      categories_.push_back(std::move(category));
    }
  }
  if (!quick_.isNull()) {
    change.quick = true;
    quickTexts_.clear();
    for (const Json::Value& element : quick_) {
      if (element.isString()) quickTexts_.push_back(platform::Utf8ToNarrow(element.asString()));
    }
  }
  return change;
}

QuickListsChange QuickLists::SetFromBody(const std::string& body) {
  Json::Value document;
  if (!ParseJsonBody(body, &document)) return {};
  return Set(document);
}

std::string CategoryLabel(const CommonCategory& category) {
  return category.name + "(" + std::to_string(category.count) + ")";
}

}  // namespace kanzo
