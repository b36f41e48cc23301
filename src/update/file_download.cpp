#include "update/file_download.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "update/update_file.h"
#include "update/update_texts.h"

namespace kanzo {
namespace {

constexpr const char* kRandomQuery = "?random=";
constexpr const char* kRandomQueryAppended = "&random=";
// A size for a file whose length the server did not name, so the bar does
// not divide by zero.
constexpr std::int64_t kUnknownSize = 1;

// Creates the folders between the program folder and the file; adds the
// "创建目录…失败" line for the first that cannot be made.
bool CreateFoldersOnTheWay(const std::string& programFolder, const std::string& name, UpdateProgress& progress) {
  std::size_t slash = name.find('/');
  while (slash != std::string::npos) {
    const std::string folder = programFolder + name.substr(0, slash);
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
      std::filesystem::create_directory(folder, ec);
      if (ec || !std::filesystem::is_directory(folder, ec)) {
        progress.AddLine(std::string(kLineCreateFolder) + folder + kLineCreateFolderFailed);
        return false;
      }
    }
    slash = name.find('/', slash + 1);
  }
  return true;
}

class DownloadSink final : public HttpResponseSink {
 public:
  DownloadSink(const std::string& programFolder, const std::string& name, UpdateProgress& progress)
      : programFolder_(programFolder), name_(name), progress_(progress) {}

  bool OnResponse(long status, std::int64_t contentLength) override {
    // An error page is not the file: only 200 brings the file.
    if (status != kHttpStatusOk) return false;
    contentLength_ = contentLength;
    // An empty answer is no program file: installed, it would leave an
    // empty file in place of a working one.
    if (contentLength == 0) {
      ReportMissing();
      return false;
    }
    if (contentLength > kMaxDownloadBytes) {
      ReportTooLarge();
      return false;
    }
    size_ = contentLength == kHttpNoContentLength ? kUnknownSize : contentLength;
    if (!CreateFoldersOnTheWay(programFolder_, name_, progress_)) return false;
    std::string error;
    file_ = CreateForWriting(programFolder_ + name_ + kNewFileSuffix, &error);
    if (!file_.Valid()) {
      progress_.ShowError(error);
      return false;
    }
    SetPercent(0);
    return true;
  }

  bool OnBody(const char* data, std::size_t size) override {
    received_ += static_cast<std::int64_t>(size);
    if ((contentLength_ != kHttpNoContentLength && received_ > contentLength_) || received_ > kMaxDownloadBytes) {
      ReportTooLarge();
      return false;
    }
    SetPercent(static_cast<int>(std::min<std::int64_t>(received_ * kProgressMaxPercent / size_, kProgressMaxPercent)));
    std::string error;
    if (!WriteAll(file_.Get(), data, size, &error)) {
      progress_.ShowError(error);
      return false;
    }
    return true;
  }

  // Closes the file once the answer is complete.
  bool Finish() {
    if (!file_.Valid()) return false;
    if (received_ == 0) {
      ReportMissing();
      return false;
    }
    if (!file_.Close()) {
      progress_.ShowError(programFolder_ + name_ + kNewFileSuffix);
      return false;
    }
    return true;
  }

 private:
  void ReportMissing() { progress_.AddLine(std::string(kLineRemoteFile) + name_ + kLineRemoteFileMissing); }
  void ReportTooLarge() { progress_.AddLine(std::string(kLineRemoteFile) + name_ + kLineDownloadTooLarge); }

  void SetPercent(int percent) {
    if (percent == lastPercent_) return;
    lastPercent_ = percent;
    progress_.SetPercent(percent);
  }

  const std::string& programFolder_;
  const std::string& name_;
  UpdateProgress& progress_;
  UniqueFd file_;
  std::int64_t contentLength_ = kHttpNoContentLength;
  std::int64_t size_ = kUnknownSize;
  std::int64_t received_ = 0;
  int lastPercent_ = -1;
};

}  // namespace

std::string NormalizeListedName(const std::string& name) {
  std::string out = name;
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

bool IsSafeListedName(const std::string& name) {
  if (name.empty() || name.front() == '/' || name.front() == '\\') return false;
  if (name.find('\0') != std::string::npos) return false;
  // "C:..." names a drive on the system the file list was written for.
  if (name.size() >= 2 && name[1] == ':') return false;
  const std::string normal = NormalizeListedName(name);
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = normal.find('/', start);
    const std::string_view part =
        std::string_view(normal).substr(start, end == std::string::npos ? normal.npos : end - start);
    if (part == "..") return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

std::string DownloadObjectFor(const std::string& name, std::int64_t nowSeconds) {
  const bool hasQuery = name.size() > 1 && name.find('?', 1) != std::string::npos;
  return "/" + name + (hasQuery ? kRandomQueryAppended : kRandomQuery) + std::to_string(nowSeconds);
}

bool DownloadFile(HttpClient& client, const std::string& programFolder, const std::string& name,
                  std::int64_t nowSeconds, UpdateProgress& progress) {
  DownloadSink sink(programFolder, name, progress);
  const HttpGetResult got = client.Get(DownloadObjectFor(name, nowSeconds), sink);
  bool ok = false;
  switch (got.outcome) {
    case HttpGetOutcome::Complete: ok = sink.Finish(); break;
    case HttpGetOutcome::NotSent:
    case HttpGetOutcome::Interrupted:
      if (!got.error.empty()) progress.ShowError(got.error);
      break;
    case HttpGetOutcome::StoppedBySink:  // the sink has said why
    case HttpGetOutcome::Aborted: break;
  }
  // Nothing of a failed download may be installed later.
  if (!ok) {
    std::error_code ec;
    std::filesystem::remove(programFolder + name + kNewFileSuffix, ec);
  }
  progress.AddLine(name + (ok ? kLineDownloaded : kLineDownloadFailed));
  return ok;
}

}  // namespace kanzo
