#pragma once
// The agent's stock replies as the server keeps them: common messages
// grouped by category (the reply tree) and the quick messages (the menu
// under the "快捷消息" button). Both arrive in the quick-lists answer; a
// later document replaces what it carries and leaves a missing or null part
// as it was.
#include <json/value.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kanzo {

// One common message (a child row of the reply tree).
struct CommonMessage {
  std::string content;  // program text
  std::int32_t uid = 0;
  std::int32_t cmid = 0;
  std::int32_t ctid = 0;
  std::int32_t type = 0;  // 1 when it is also a quick message
};

// One category (a top-level row), its messages in array order.
struct CommonCategory {
  std::string name;  // program text
  std::int32_t count = 0;
  std::vector<CommonMessage> messages;
};

// What a document changed, so that the window redraws only that.
struct QuickListsChange {
  bool tree = false;
  bool quick = false;
};

class QuickLists {
 public:
  // Takes the document's "common" when it is an object or null and its
  // "quick" when it is an array or null; a document that is neither an
  // object nor null changes nothing. The tree and the quick list are
  // rebuilt from the kept values that are not null.
  QuickListsChange Set(const Json::Value& document);
  // The same from a BODY text; text that is not one JSON document changes
  // nothing.
  QuickListsChange SetFromBody(const std::string& body);

  // Categories in ascending byte order of their names.
  const std::vector<CommonCategory>& Categories() const { return categories_; }
  // The string elements of "quick", in order (program text).
  const std::vector<std::string>& QuickTexts() const { return quickTexts_; }

 private:
  Json::Value common_;
  Json::Value quick_;
  std::vector<CommonCategory> categories_;
  std::vector<std::string> quickTexts_;
};

// The text of a category row: "%s(%d)" with the name and its count.
std::string CategoryLabel(const CommonCategory& category);

// Menu commands of the quick messages: the first is 3025, then one up each.
inline constexpr std::int32_t kFirstQuickMenuCommand = 3025;

}  // namespace kanzo
