// The command table agrees with the dispatcher's routing list and the body
// each command carries.
#include <gtest/gtest.h>

#include <set>

#include "protocol/commands.h"

namespace kanzo {
namespace {

TEST(CommandTable, RoutedCodesAreTheDispatchersList) {
  const std::set<CommandCode> expected{1, 2, 5, 7, 8, 11, 13, 14, 15, 23, 27, 28, 29, 40, 41, 42, 43};
  std::set<CommandCode> routed;
  for (const CommandInfo& info : CommandTable())
    if (info.routed) routed.insert(info.code);
  EXPECT_EQ(routed, expected);
  EXPECT_FALSE(IsRoutedCommand(kCommandInviteVisitor));
  EXPECT_FALSE(IsRoutedCommand(99));
  EXPECT_EQ(FindCommand(99), nullptr);
  EXPECT_EQ(FindCommand(0), nullptr);
}

TEST(CommandTable, BodiesOfTheCommands) {
  for (const CommandInfo& info : CommandTable()) {
    SCOPED_TRACE(info.code);
    const TypeCode expected = info.code == kCommandRegist                                       ? kTypeRegist
                              : info.code == kCommandLogin || info.code == kCommandRefreshLogin ? kTypeLogin
                                                                                                : kTypeMsg;
    EXPECT_EQ(info.body, expected);
    EXPECT_EQ(FindCommand(info.code), &info);
  }
}

}  // namespace
}  // namespace kanzo
