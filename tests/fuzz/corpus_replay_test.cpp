// Replays the committed seed corpus of one fuzz target through its entry
// point (the target's own source is built into this test), so every build
// checks the seeds without libFuzzer.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace kanzo {
namespace {

constexpr int kLeastSeeds = 5;

TEST(FuzzCorpusReplayTest, EverySeedRunsClean) {
  const std::filesystem::path corpus(KANZO_CORPUS_DIR);
  ASSERT_TRUE(std::filesystem::is_directory(corpus)) << corpus;
  int seeds = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    if (!entry.is_regular_file()) continue;
    const std::string bytes = test::ReadFile(entry.path().string());
    EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 0)
        << entry.path();
    ++seeds;
  }
  EXPECT_GE(seeds, kLeastSeeds);
}

}  // namespace
}  // namespace kanzo
