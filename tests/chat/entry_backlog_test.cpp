// Splitting a conversation's entries into parts shown newest first.
#include "chat/entry_backlog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kanzo {
namespace {

std::vector<std::string> Parts(EntryBacklog& backlog, std::vector<std::string> entries, std::size_t bytes) {
  std::vector<std::string> parts{backlog.Start(std::move(entries), bytes).markup};
  while (!backlog.empty()) parts.push_back(backlog.TakeNewestPart(bytes).markup);
  return parts;
}

// Parts end only between an entry that ends a paragraph and one that begins
// one; each is at least the size asked unless it is the oldest.
TEST(EntryBacklogTest, PartsEndOnlyWhereBothSidesBreakTheLine) {
  struct Case {
    const char* name;
    std::vector<std::string> entries;
    std::size_t bytes;
    std::vector<std::string> parts;  // newest first
  };
  const Case cases[] = {
      {"every seam", {"\na\n", "\nb\n", "\nc\n", "\nd\n"}, 6, {"\nc\n\nd\n", "\na\n\nb\n"}},
      {"odd size", {"\na\n", "\nb\n", "\nc\n"}, 4, {"\nb\n\nc\n", "\na\n"}},
      {"a notice joins the lines around it", {"\na\n", "\nb\n", "[C]n", "\nc\n"}, 3, {"\nb\n[C]n\nc\n", "\na\n"}},
      {"no seam: all at once", {"[C]x", "[C]y", "[C]z"}, 1, {"[C]x[C]y[C]z"}},
      {"one entry", {"\na\n"}, 100, {"\na\n"}},
      {"nothing", {}, 100, {""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EntryBacklog backlog;
    EXPECT_EQ(Parts(backlog, c.entries, c.bytes), c.parts);
  }
}

TEST(EntryBacklogTest, APartStartsInTheFormatTheEntriesBeforeItLeft) {
  EntryBacklog backlog;
  const BacklogPart newest = backlog.Start({"\n[#112233]a[B]b\n", "\nplain\n", "\n[#445566]c\n"}, 1);
  ASSERT_TRUE(newest.formatBefore.has_value());
  EXPECT_EQ(*newest.formatBefore, *InsertionFormatAfter("[B]"));
  const BacklogPart middle = backlog.TakeNewestPart(1);
  EXPECT_EQ(middle.markup, "\nplain\n");
  EXPECT_EQ(*middle.formatBefore, *InsertionFormatAfter("[B]"));
  EXPECT_FALSE(backlog.TakeNewestPart(1).formatBefore.has_value());
  EXPECT_TRUE(backlog.empty());
  EXPECT_FALSE(InsertionFormatAfter("no tags [@smile.gif]").has_value());
}

}  // namespace
}  // namespace kanzo
