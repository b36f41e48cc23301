#include "e2e/session_fixture.h"

#include <cstdio>
#include <filesystem>

#include "app/config.h"
#include "net/session_id.h"
#include "platform/process.h"
#include "protocol/commands.h"
#include "protocol/startup_codecs.h"

namespace kanzo::test {
namespace {

constexpr std::int64_t kShortReplyDelayMs = 50;
constexpr int kEndGraceMs = 2000;
constexpr auto kInstanceWait = std::chrono::seconds(5);
constexpr auto kLoginWait = std::chrono::seconds(10);
constexpr const char* kDisconnectNote = " NOTE conn=";
constexpr const char* kDisconnectWord = " 断开 ";

std::string DemoData() { return std::string(KANZO_SOURCE_DIR) + "/simulator/data/program/demo-accounts.json"; }

std::string Word(const std::string& line, const std::string& key) {
  const std::string needle = " " + key + "=";
  const std::size_t at = line.find(needle);
  if (at == std::string::npos) return {};
  const std::size_t start = at + needle.size();
  const std::size_t end = line.find(' ', start);
  return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::optional<FrameLine> Parse(std::size_t index, const std::string& text) {
  FrameLine line;
  line.index = index;
  line.text = text;
  if (text.find(" RECV ") != std::string::npos) {
    line.received = true;
  } else if (text.find(" SEND ") == std::string::npos) {
    return std::nullopt;
  }
  line.conn = Word(text, "conn");
  const std::string command = Word(text, "command");
  if (command.empty()) return std::nullopt;
  line.command = std::stoi(command);
  return line;
}

}  // namespace

std::string FrameLine::Field(const std::string& name) const {
  if (name == "BODY") {
    const std::size_t at = text.find(" BODY=");
    return at == std::string::npos ? std::string() : text.substr(at + 6);
  }
  return Word(text, name);
}

void ClientSessionTest::SetUp() {
  ASSERT_TRUE(RegisterStartupCodecs());
  platform::SetUiLoop(&loop_);

  SimOptions options = EmbeddedSimOptions(DemoData());
  options.frameLogPath = dir_.File("frames.log");
  options.server.port = kChatServerPort;  // the client knows no other
  options.service.replyDelayMs = kShortReplyDelayMs;
  sim_ = std::make_unique<Simulator>(options);
  std::string error;
  ASSERT_TRUE(sim_->StartThread(&error)) << "the simulator cannot serve 127.0.0.1:" << kChatServerPort
                                         << " — is the port taken (a demo, a simulator or another test still running)? "
                                         << error;

  std::filesystem::create_directories(folder());
  client_ = std::make_unique<ClientProcess>(folder());
  ASSERT_TRUE(PrepareProgramFolder(folder(), {kE2eUid, kE2eUser, kE2ePassword}, &error)) << error;
}

void ClientSessionTest::TearDown() {
  // The restarted instances are no child of ours; they are found by the
  // program they run, which lives in this test's folder only.
  if (client_) {
    for (const pid_t pid : ClientInstancesIn(folder())) EXPECT_TRUE(platform::EndProcess(pid, kEndGraceMs)) << pid;
    client_.reset();
  }
  if (sim_) sim_->Stop();
  sim_.reset();
  platform::SetUiLoop(nullptr);
  SetCurrentSessionId(0);
  if (HasFailure()) {
    std::fprintf(stderr, "--- the simulator's frames ---\n%s\n--- the client's log ---\n%s\n",
                 ReadFile(dir_.File("frames.log")).c_str(), ClientLogText(folder()).c_str());
  }
}

void ClientSessionTest::StartClient(const std::vector<std::string>& args) {
  std::string error;
  ASSERT_TRUE(client_->Start(args, &error)) << error;
}

std::vector<FrameLine> ClientSessionTest::Frames() const {
  std::vector<FrameLine> lines;
  const std::vector<std::string> history = sim_->frameLog().Tail(FrameLog::kDefaultHistory);
  for (std::size_t i = 0; i < history.size(); ++i)
    if (auto line = Parse(i, history[i])) lines.push_back(std::move(*line));
  return lines;
}

std::vector<FrameLine> ClientSessionTest::Received(int command) const {
  std::vector<FrameLine> lines;
  for (auto& line : Frames())
    if (line.received && line.command == command) lines.push_back(std::move(line));
  return lines;
}

std::vector<FrameLine> ClientSessionTest::Sent(int command) const {
  std::vector<FrameLine> lines;
  for (auto& line : Frames())
    if (!line.received && line.command == command) lines.push_back(std::move(line));
  return lines;
}

bool ClientSessionTest::WaitForReceived(int command, std::chrono::milliseconds timeout, std::size_t count) const {
  return WaitFor([&] { return Received(command).size() >= count; }, timeout);
}

bool ClientSessionTest::WaitForDisconnect(const std::string& conn, std::chrono::milliseconds timeout) const {
  const std::string note = kDisconnectNote + conn + kDisconnectWord;
  return WaitFor([&] { return !sim_->frameLog().Matching(note).empty(); }, timeout);
}

std::vector<FrameLine> ClientSessionTest::LogoutFrames() const {
  std::vector<FrameLine> lines;
  for (auto& line : Received(kCommandUpdateKFState))
    if (line.Field("BODY") == "1") lines.push_back(std::move(line));
  return lines;
}

std::string ClientSessionTest::WaitForMainWindow() {
  if (!WaitForReceived(kCommandLogin, kLoginWait)) {
    ADD_FAILURE() << "the client did not log in by itself; its output:\n" << client_->Output();
    return {};
  }
  if (!WaitForReceived(kCommandLoadSessionCount, kLoginWait)) {
    ADD_FAILURE() << "the main window did not ask for the counts";
    return {};
  }
  return Received(kCommandLogin).front().conn;
}

}  // namespace kanzo::test
