#include "update/version_check.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/ini_file.h"
#include "update/update_file.h"
#include "update/update_texts.h"

namespace kanzo {
namespace {

// A version file lists a handful of lines and files; the cap only keeps a
// hostile file from making the key scan quadratic without end.
constexpr int kMaxNumberedKeys = 1000;
constexpr std::size_t kKeyBufferBytes = 64;

// Saves the version file's answer into update.ini as it arrives.
class VersionFileSink final : public HttpResponseSink {
 public:
  VersionFileSink(std::string path, UpdateProgress& progress) : path_(std::move(path)), progress_(progress) {}

  bool OnResponse(long status, std::int64_t contentLength) override {
    if (status != kHttpStatusOk) {
      notOk_ = true;
      return false;
    }
    if (contentLength > static_cast<std::int64_t>(kMaxVersionFileBytes)) {
      saveFailed_ = true;
      return false;
    }
    progress_.SetStatus(kStatusReadingVersion);
    file_ = CreateForWriting(path_, nullptr);
    if (!file_.Valid()) {
      saveFailed_ = true;
      return false;
    }
    return true;
  }

  bool OnBody(const char* data, std::size_t size) override {
    // A version file is a few lines; a server sending more is not trusted.
    received_ += size;
    if (received_ > kMaxVersionFileBytes || !WriteAll(file_.Get(), data, size, nullptr)) {
      saveFailed_ = true;
      return false;
    }
    return true;
  }

  // Closes the file; false when the last writes did not reach it.
  bool Finish() { return file_.Close(); }

  bool notOk() const { return notOk_; }
  bool saveFailed() const { return saveFailed_; }

 private:
  std::string path_;
  UpdateProgress& progress_;
  UniqueFd file_;
  std::size_t received_ = 0;
  bool notOk_ = false;
  bool saveFailed_ = false;
};

}  // namespace

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> ReadNumberedKeys(const std::string& iniText, const std::string& section,
                                          const char* keyFormat) {
  std::vector<std::string> values;
  for (int i = 1; i <= kMaxNumberedKeys; ++i) {
    char key[kKeyBufferBytes];
    std::snprintf(key, sizeof(key), keyFormat, i);
    std::string value = platform::ReadProfileStringFromText(iniText, section, key, "");
    if (value.empty()) break;
    values.push_back(std::move(value));
  }
  return values;
}

VersionCheckResult CheckVersion(HttpClient& client, const std::string& object, const std::string& programName,
                                const std::string& currentVersion, const std::string& programFolder,
                                UpdateProgress& progress) {
  VersionCheckResult result;
  progress.SetStatus(kStatusConnecting);
  const std::string iniPath = programFolder + kVersionFileName;
  VersionFileSink sink(iniPath, progress);
  const HttpGetResult got = client.Get(object, sink);
  const bool closed = sink.Finish();

  if (got.outcome == HttpGetOutcome::NotSent || got.outcome == HttpGetOutcome::Aborted) {
    result.outcome = VersionCheckOutcome::NotSent;
    result.finalStatus = kStatusConnectFailed;
    result.errorDescription = got.error;
    return result;
  }
  if (sink.notOk()) {
    result.outcome = VersionCheckOutcome::NotOk;
    result.finalStatus = kStatusResourceFailed;
    return result;
  }
  if (sink.saveFailed() || !closed || got.outcome != HttpGetOutcome::Complete) {
    // A version file that broke off is no version file: drop what came.
    std::remove(iniPath.c_str());
    result.outcome = VersionCheckOutcome::SaveFailed;
    result.finalStatus = kStatusReadVersionFailed;
    return result;
  }

  const std::string text = ReadWholeFile(iniPath);
  result.offeredVersion =
      platform::ReadProfileStringFromText(text, programName, kVersionFileVersionKey, kOfferedVersionDefault);
  progress.SetStatus(kStatusCheckingVersion);
  if (result.offeredVersion == currentVersion) {
    result.outcome = VersionCheckOutcome::SameVersion;
    result.finalStatus = kStatusUpToDate;
    return result;
  }

  result.outcome = VersionCheckOutcome::NewVersion;
  const std::vector<std::string> intro = ReadNumberedKeys(text, programName, kVersionFileIntroKey);
  if (!intro.empty()) {
    result.summaryLines.push_back(std::string(kLineSummaryHead) + result.offeredVersion + kLineSummaryHeadTail);
    result.summaryLines.insert(result.summaryLines.end(), intro.begin(), intro.end());
    result.summaryLines.push_back(kLineSummaryFoot);
  }
  result.finalStatus = std::string(kStatusNewVersion) + programName + " " + result.offeredVersion;
  return result;
}

}  // namespace kanzo
