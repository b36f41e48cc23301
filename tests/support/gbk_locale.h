#pragma once
// A fixture that runs each test in a GBK locale (zh_CN.GBK), built once in a
// temporary folder with localedef when the C library has none, and restores
// the previous locale afterwards. Tests skip, saying why, where no GBK
// locale can be had.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "platform/narrow_text.h"
#include "support/temp_dir.h"

namespace kanzo::test {

class GbkLocaleTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    skipReason_.clear();
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const bool installed = std::setlocale(LC_ALL, kLocale) != nullptr;
    std::setlocale(LC_ALL, previous.c_str());
    if (installed) return;
    if (std::system("command -v localedef >/dev/null 2>&1") != 0) {
      skipReason_ = "localedef is not installed";
      return;
    }
    dir_ = new TempDir();
    const std::string cmd = "localedef -i zh_CN -f GBK " + dir_->path() + kLocale + " >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) skipReason_ = "localedef could not build zh_CN.GBK";
  }

  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  void SetUp() override {
    if (!skipReason_.empty()) GTEST_SKIP() << skipReason_;
    previous_ = std::setlocale(LC_ALL, nullptr);
    if (const char* old = std::getenv("LOCPATH")) {
      oldLocPath_ = old;
      hadLocPath_ = true;
    }
    if (dir_ != nullptr) setenv("LOCPATH", dir_->path().c_str(), 1);
    if (std::setlocale(LC_ALL, kLocale) == nullptr) GTEST_SKIP() << "the C library refuses the GBK locale";
    platform::ResetNarrowEncodingForTests();
    ASSERT_EQ(platform::NarrowEncodingName(), "GBK");
  }

  void TearDown() override {
    if (!previous_.empty()) std::setlocale(LC_ALL, previous_.c_str());
    if (hadLocPath_) {
      setenv("LOCPATH", oldLocPath_.c_str(), 1);
    } else {
      unsetenv("LOCPATH");
    }
    platform::ResetNarrowEncodingForTests();
  }

  static constexpr const char* kLocale = "zh_CN.GBK";
  static inline TempDir* dir_ = nullptr;
  static inline std::string skipReason_;
  std::string previous_;
  std::string oldLocPath_;
  bool hadLocPath_ = false;
};

}  // namespace kanzo::test
