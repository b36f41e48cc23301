#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <memory>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "log/cx_log.h"
#include "support/temp_dir.h"

namespace kanzo {
namespace {

std::vector<std::string> Lines(const std::string& content) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < content.size()) {
    const std::size_t end = content.find("\r\n", pos);
    if (end == std::string::npos) {
      lines.push_back(content.substr(pos));
      break;
    }
    lines.push_back(content.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

std::string TodayFileName() {
  char name[32];
  const time_t now = std::time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  std::strftime(name, sizeof(name), "%Y%m%d.log", &local);
  return name;
}

TEST(CxLogTest, LineFormatAndFileName) {
  test::TempDir dir;
  CxLog log(dir.path() + "log");
  EXPECT_EQ(log.FilePath(), dir.path() + "log/" + TodayFileName());
  log.Log("==================系统启动==================", kLogInfo, "C:\\src\\app\\Kanzo.cpp",
          "CKanzoApp::InitInstance", 120);
  log.Log("no source", kLogError, nullptr, "DBManager::Init", 77);
  log.Flush();
  const std::string content = test::ReadFile(log.FilePath());
  const auto lines = Lines(content);
  ASSERT_EQ(lines.size(), 2u);
  const std::regex first(
      R"(^\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3} Info Kanzo\.cpp\(CKanzoApp::InitInstance, 120\): =+系统启动=+$)");
  EXPECT_TRUE(std::regex_match(lines[0], first)) << lines[0];
  // Without a source file: an empty name and line number 0.
  EXPECT_NE(lines[1].find(" Error (DBManager::Init, 0): no source"), std::string::npos) << lines[1];
  EXPECT_EQ(content.substr(content.size() - 2), "\r\n");
}

TEST(CxLogTest, LevelsBelowTheThresholdLeaveNoTrace) {
  test::TempDir dir;
  CxLog log(dir.path());
  log.SetLevel(kLogWarning);
  const std::pair<LogLevel, const char*> records[] = {{kLogDebug, "Debug"},
                                                      {kLogInfo, "Info"},
                                                      {kLogWarning, "Warning"},
                                                      {kLogException, "Exception"},
                                                      {kLogError, "Error"}};
  for (const auto& [level, word] : records) log.Log(word, level, "f.cpp", "F::G", 1);
  log.Flush();
  const auto lines = Lines(test::ReadFile(log.FilePath()));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[0].find(" Warning f.cpp(F::G, 1): Warning"), std::string::npos);
  EXPECT_NE(lines[1].find(" Exception f.cpp(F::G, 1): Exception"), std::string::npos);
  EXPECT_NE(lines[2].find(" Error f.cpp(F::G, 1): Error"), std::string::npos);
}

TEST(CxLogTest, TextEndingInLineEndGivesOneLineEnd) {
  test::TempDir dir;
  CxLog log(dir.path());
  log.Log("ends with its own\r\n", kLogInfo, "a.cpp", "A::B", 3);
  log.Log("next", kLogInfo, "a.cpp", "A::B", 4);
  log.Flush();
  const std::string content = test::ReadFile(log.FilePath());
  EXPECT_EQ(content.find("\r\n\r\n"), std::string::npos);
  EXPECT_EQ(Lines(content).size(), 2u);
}

TEST(CxLogTest, LogFormatKeeps1023Bytes) {
  test::TempDir dir;
  CxLog log(dir.path());
  const std::string longText(3000, 'x');
  log.LogFormat(kLogInfo, "a.cpp", "A::B", 5, "%s", longText.c_str());
  log.Log(longText.c_str(), kLogInfo, "a.cpp", "A::B", 6);  // Log keeps any length
  log.Flush();
  const auto lines = Lines(test::ReadFile(log.FilePath()));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].substr(lines[0].find("): ") + 3), std::string(CxLog::kFormatBufferBytes - 1, 'x'));
  EXPECT_EQ(lines[1].substr(lines[1].find("): ") + 3), longText);
}

TEST(CxLogTest, RecordsOfSeveralThreadsAreAllWrittenInEachThreadsOrder) {
  test::TempDir dir;
  CxLog log(dir.path());
  constexpr int kThreads = 4;
  constexpr int kPerThread = 500;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < kPerThread; ++i) log.LogFormat(kLogInfo, "t.cpp", "T::Run", t, "t%d-%d", t, i);
    });
  for (auto& th : threads) th.join();
  log.Flush();
  const auto lines = Lines(test::ReadFile(log.FilePath()));
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kPerThread));
  std::vector<int> next(kThreads, 0);
  for (const auto& line : lines) {
    int t = -1, i = -1;
    ASSERT_EQ(std::sscanf(line.c_str() + line.find("): t") + 4, "%d-%d", &t, &i), 2) << line;
    EXPECT_EQ(i, next[t]++);
  }
}

TEST(CxLogTest, TeardownDrainsQueuedRecords) {
  test::TempDir dir;
  std::string path;
  constexpr int kRecords = 2000;
  {
    CxLog log(dir.path());
    path = log.FilePath();
    for (int i = 0; i < kRecords; ++i) log.LogFormat(kLogInfo, "d.cpp", "D::E", i, "record %d", i);
  }
  EXPECT_EQ(Lines(test::ReadFile(path)).size(), static_cast<std::size_t>(kRecords));
}

TEST(CxLogTest, TwoLogsOfOneDayAppendToTheSameFile) {
  test::TempDir dir;
  std::string path;
  for (int run = 0; run < 2; ++run) {
    CxLog log(dir.path());
    path = log.FilePath();
    log.Log("start", kLogInfo, "a.cpp", "A::B", 1);
  }
  EXPECT_EQ(Lines(test::ReadFile(path)).size(), 2u);
}

// The writer keeps its file open between batches; a file moved away or
// removed meanwhile must not swallow the lines that follow.
TEST(CxLogTest, FileMovedAwayOrRemovedIsOpenedAnew) {
  test::TempDir dir;
  CxLog log(dir.path());
  log.Log("first", kLogInfo, "a.cpp", "A::B", 1);
  log.Flush();
  const std::string moved = dir.File("moved.log");
  std::filesystem::rename(log.FilePath(), moved);
  log.Log("second", kLogInfo, "a.cpp", "A::B", 2);
  log.Flush();
  std::filesystem::remove(log.FilePath());
  log.Log("third", kLogInfo, "a.cpp", "A::B", 3);
  log.Flush();
  const auto movedLines = Lines(test::ReadFile(moved));
  ASSERT_EQ(movedLines.size(), 1u);
  EXPECT_NE(movedLines[0].find("): first"), std::string::npos);
  const auto lines = Lines(test::ReadFile(log.FilePath()));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("A::B, 3): third"), std::string::npos);
}

TEST(CxLogTest, UncreatableFolderLosesRecordsQuietly) {
  test::TempDir dir;
  test::WriteFile(dir.File("file"), "x");
  CxLog log(dir.File("file") + "/log");  // a file stands where the folder would be
  log.Log("lost", kLogError, "a.cpp", "A::B", 1);
  log.Flush();
  EXPECT_FALSE(std::filesystem::exists(log.FilePath()));
}

TEST(CxLogTest, QualifiedFunctionNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"bool kanzo::CKanzoApp::InitInstance()", "CKanzoApp::InitInstance"},
      {"static std::string kanzo::CKanzoApp::GetAddressByHostName(const std::string&)",
       "CKanzoApp::GetAddressByHostName"},
      {"void kanzo::Network::send(kanzo::Message*)", "Network::send"},
      {"int main(int, char**)", "main"},
      {"std::vector<int> kanzo::A<T>::F(std::map<int, int>) [with T = int]", "A<T>::F"},
      {"kanzo::Network::onRead(bufferevent*, void*)::<lambda()>", "Network::onRead"},
  };
  for (const auto& [pretty, expected] : cases) EXPECT_EQ(log_detail::QualifiedFunctionName(pretty), expected);
  EXPECT_STREQ(log_detail::SourceFileName("C:\\a\\b\\Kanzo.cpp"), "Kanzo.cpp");
  EXPECT_STREQ(log_detail::SourceFileName("/src/app/kanzo_app.cpp"), "kanzo_app.cpp");
  EXPECT_STREQ(log_detail::SourceFileName("plain.cpp"), "plain.cpp");
}

TEST(CxLogTest, LevelWords) {
  const std::pair<const char*, std::int32_t> words[] = {{"DEBUG", 0}, {"debug", 0},     {"Info", 1}, {"WARN", 2},
                                                        {"warn", 2},  {"EXCEPTION", 3}, {"error", 4}};
  for (const auto& [word, level] : words) {
    std::int32_t got = -1;
    EXPECT_TRUE(LogLevelFromConfigWord(word, &got)) << word;
    EXPECT_EQ(got, level) << word;
  }
  std::int32_t unchanged = kLogInfo;
  for (const char* bad : {"WARNING", "", "trace", "DEBUG "}) EXPECT_FALSE(LogLevelFromConfigWord(bad, &unchanged));
  EXPECT_EQ(unchanged, kLogInfo);
}

TEST(CxLogDeathTest, ThreadsStillLoggingThroughTheTeardownAreDropped) {
  EXPECT_EXIT(
      {
        CxLog::Instance().SetLevel(kLogDebug);
        std::atomic<bool> go{true};
        std::vector<std::thread> writers;
        for (int t = 0; t < 4; ++t)
          writers.emplace_back([&] {
            while (go.load()) KLOG_DEBUG("late writer %s", std::string(200, 'w').c_str());
          });
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        CxLog::TeardownProcessLog();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        go.store(false);
        for (auto& w : writers) w.join();
        std::_Exit(3);
      },
      testing::ExitedWithCode(3), "");
}

TEST(CxLogDeathTest, ProcessLogFailsAfterTeardown) {
  EXPECT_EXIT(
      {
        CxLog::Instance().Log("x", kLogInfo, "a.cpp", "A::B", 1);
        CxLog::TeardownProcessLog();
        // The macros drop records quietly after teardown.
        KLOG_ERROR("after teardown %d", 1);
        try {
          CxLog::Instance();
        } catch (const std::runtime_error& e) {
          std::_Exit(std::string(e.what()) == "CxLog has destroy!" ? 3 : 4);
        }
        std::_Exit(5);
      },
      testing::ExitedWithCode(3), "CxLog has destroy!");
}

}  // namespace
}  // namespace kanzo
