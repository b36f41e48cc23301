// The simulator's own formats: command lines, scenario files, the data file,
// update paths; and the shipped data and default scenario.
#include <gtest/gtest.h>

#include "http_side.h"
#include "protocol/commands.h"
#include "scenario.h"
#include "sim_data.h"
#include "sim_text.h"
#include "simulator/sim_fixture.h"

namespace kanzo::test {
namespace {

TEST(CommandLineTest, WordsQuotesAndOptions) {
  CommandWords w;
  std::string error;
  ASSERT_TRUE(SplitCommandLine("gbook 3102 name=\"张 先生\" phone=139 想了解 企业版", &w, &error));
  ASSERT_EQ(w.size(), 6u);
  EXPECT_EQ(w.at(2), "name=张 先生");
  std::vector<std::size_t> rest;
  const auto options = TakeOptions(w, 1, &rest);
  EXPECT_EQ(options.at("name"), "张 先生");
  EXPECT_EQ(options.at("phone"), "139");
  ASSERT_EQ(rest.size(), 3u);
  EXPECT_EQ(w.TextFrom(rest[1]), "想了解 企业版");
  EXPECT_FALSE(SplitCommandLine("say 1 \"open", &w, &error));
  ASSERT_TRUE(SplitCommandLine("say 1 \"a \\\"b\\\"\"", &w, &error));
  EXPECT_EQ(w.at(2), "a \"b\"");
  // Text that merely holds '=' after other bytes stays text.
  ASSERT_TRUE(SplitCommandLine("say 1 价格=100元?", &w, &error));
  rest.clear();
  EXPECT_TRUE(TakeOptions(w, 1, &rest).empty());
}

TEST(CommandLineTest, IntegersAndEscapes) {
  EXPECT_EQ(ParseInteger("42"), 42);
  EXPECT_EQ(ParseInteger("-7"), -7);
  for (const char* bad : {"", "-", "4x", " 4", "99999999999999999999"}) EXPECT_FALSE(ParseInteger(bad)) << bad;
  EXPECT_EQ(EscapeForLine("a\nb\t\\c\x01"), "a\\nb\\t\\\\c\\x01");
}

TEST(ScenarioTest, TimesCommandsAndRepeat) {
  Scenario s;
  std::string error;
  ASSERT_TRUE(
      ParseScenario("# comment\n\n5 visitor 3001\n+2.5 say 3001 你好\n1 autoreply 好的\nrepeat 30\n", &s, &error))
      << error;
  ASSERT_EQ(s.steps.size(), 3u);
  EXPECT_EQ(s.steps[0].atMs, 1000);
  EXPECT_EQ(s.steps[0].command, "autoreply 好的");
  EXPECT_EQ(s.steps[1].atMs, 5000);
  EXPECT_EQ(s.steps[2].atMs, 7500);
  EXPECT_EQ(s.steps[2].lineNumber, 4);
  EXPECT_EQ(s.repeatAfterMs, 30000);
  EXPECT_EQ(s.lengthMs(), 7500);

  const char* bad[] = {"x visitor\n",           "5\n",           "-1 visitor\n",    "repeat\n",
                       "repeat 5\n1 visitor\n", "1e3 visitor\n", "999999 visitor\n"};
  for (const char* text : bad) EXPECT_FALSE(ParseScenario(text, &s, &error)) << text;
}

TEST(DataFileTest, RejectsEntriesThatCannotWork) {
  SimData data;
  std::string error;
  const char* bad[] = {
      "[]",
      "{\"agents\":[]}",
      "{\"agents\":[{\"username\":\"a\"}]}",
      "{\"agents\":[{\"username\":\"a\",\"uid\":1},{\"username\":\"a\",\"uid\":2}]}",
      "{\"agents\":[{\"username\":\"a\",\"uid\":1,\"presence\":9}]}",
      "{\"agents\":[{\"username\":\"a\",\"uid\":1}],\"groups\":[{\"name\":\"g\",\"agents\":[5]}]}",
      "{\"agents\":[{\"username\":\"a\",\"uid\":1}],\"common\":[{\"ctid\":1,\"content\":\"x\"}]}",
  };
  for (const char* text : bad) EXPECT_FALSE(ParseSimData(text, &data, &error)) << text;
  ASSERT_TRUE(
      ParseSimData("{\"account\":7,\"agents\":[{\"username\":\"a\",\"password\":\"p\",\"uid\":1}]}", &data, &error))
      << error;
  EXPECT_EQ(data.agents[0].account, 7);
  EXPECT_EQ(data.agents[0].type, 1);
}

TEST(UpdatePathTest, OnlyPlainPathsInsideTheFolder) {
  const std::string folder = "/srv/update/";
  struct Case {
    const char* path;
    const char* file;
  };
  const Case cases[] = {
      {"/update.html", "/srv/update/update.ini"},
      {"/Kanzo", "/srv/update/Kanzo"},
      {"/Images/a.png", "/srv/update/Images/a.png"},
      {"/../etc/passwd", ""},
      {"/a/./b", ""},
      {"/a//b", ""},
      {"/", ""},
      {"/dir/", ""},
      {"relative", ""},
      {"/a\\..\\b", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(HttpSide::FileForPath(folder, c.path), c.file) << c.path;
}

TEST(ShippedDataTest, TheDemoDataFileLoads) {
  SimData data;
  std::string error;
  ASSERT_TRUE(LoadSimData(DemoDataFile(), &data, &error)) << error;
  ASSERT_NE(data.FindByName(kDemoUser), nullptr);
  EXPECT_EQ(data.FindByName(kDemoUser)->uid, kDemoUid);
  EXPECT_EQ(data.FindByName(kDemoUser)->password, kDemoPassword);
  EXPECT_NE(data.FindByName(kDemoUser2), nullptr);
}

using DefaultScenarioTest = SimulatorTest;

// Every line of the default scenario runs, in order, against a simulator
// where the demo agent is logged in, as in the demo.
TEST_F(DefaultScenarioTest, EveryLineRuns) {
  Scenario scenario;
  std::string error;
  ASSERT_TRUE(LoadScenario(std::string(KANZO_SIM_DATA_DIR) + "/default.scenario", &scenario, &error)) << error;
  EXPECT_GT(scenario.steps.size(), 40u);
  EXPECT_GE(scenario.repeatAfterMs, 0);
  auto agent = Connect(kDemoUser);
  for (const ScenarioStep& step : scenario.steps) {
    const ControlAnswer answer = sim_->Command(step.command);
    EXPECT_TRUE(answer.ok) << "line " << step.lineNumber << ": " << step.command << ": " << answer.text;
  }
  // The telephone number reaches the agent in a chat line.
  EXPECT_NE(
      agent->Notice(kCommandChatMessage, [](const Msg& m) { return m.BODY.find("13812345678") != std::string::npos; }),
      nullptr);
}

class ScenarioRunTest : public SimulatorTest {
 protected:
  void Configure(SimOptions& options) override {
    WriteFile(
        dir_.File("t.scenario"),
        "0 visitor 3001 area=上海市\n0 reply 3001 先回答\n0 reply 3001 再回答\n+1 say 3001 场景里的话\n+0.1 bogus\nrepeat 60\n");
    options.scenarioFile = dir_.File("t.scenario");
  }
};

TEST_F(ScenarioRunTest, TheTimelinePlaysAndFailuresAreLogged) {
  auto agent = Connect(kDemoUser);
  EXPECT_NE(agent->Notice(kCommandChatMessage, [](const Msg& m) { return m.BODY == "场景里的话"; }), nullptr);
  EXPECT_TRUE(WaitFor([&] { return !Frames("场景第5行失败").empty(); }));
  // Lines of the same time run in file order: the answers found their visitor.
  EXPECT_TRUE(Frames("场景第2行失败").empty());
  EXPECT_TRUE(Frames("场景第3行失败").empty());
}

}  // namespace
}  // namespace kanzo::test
