// Replays the committed seed corpus of the read_message fuzz target through
// the fuzz target's own checks, so that an ordinary test run covers it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "protocol/buffer.h"
#include "protocol/commands.h"
#include "protocol/login.h"
#include "protocol/message.h"
#include "protocol/startup_codecs.h"
#include "protocol/wire_bytes.h"
#include "read_message_entry.h"

namespace kanzo {
namespace {

namespace fs = std::filesystem;

test::Bytes ReadSeed(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return test::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ReadMessageCorpus, EverySeedPassesTheFuzzChecks) {
  const fs::path corpus = KANZO_READ_MESSAGE_CORPUS;
  ASSERT_TRUE(fs::is_directory(corpus)) << corpus;
  int seeds = 0;
  for (const auto& entry : fs::directory_iterator(corpus)) {
    if (!entry.is_regular_file()) continue;
    const test::Bytes bytes = ReadSeed(entry.path());
    const char* failure = CheckReadMessage(bytes.data(), bytes.size());
    EXPECT_EQ(failure, nullptr) << entry.path().filename() << ": " << failure;
    ++seeds;
  }
  EXPECT_GE(seeds, 10);
}

// The generator writes seeds the way the client does.
TEST(ReadMessageCorpus, LoginSeedMatchesTheEncoder) {
  ASSERT_TRUE(RegisterStartupCodecs());
  Message m(false);
  m.MESSAGE_ID = 1;
  m.command = kCommandLogin;
  Login login;
  login.username = "a";
  login.password = "b";
  login.state = kPresenceOnline;
  m.setBody(&login);
  Buffer out;
  writeMessage(out, m);
  EXPECT_EQ(test::Hex(test::Peek(out)), test::Hex(ReadSeed(fs::path(KANZO_READ_MESSAGE_CORPUS) / "login_request")));
}

}  // namespace
}  // namespace kanzo
