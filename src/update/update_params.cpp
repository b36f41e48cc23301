#include "update/update_params.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "app/config.h"
#include "app/updater_launch.h"
#include "app/version_info.h"

namespace kanzo {
namespace {

constexpr std::string_view kHttpScheme = "http://";
constexpr int kMaxPort = 65535;
constexpr std::size_t kRunArgumentCount = 3;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
         });
}

}  // namespace

std::string DefaultVersionFileUrl() {
  return std::string(kHttpScheme) + version_resource::kUpdateHost + kUpdatePagePath;
}

bool SplitHttpUrl(const std::string& url, HttpUrlParts* parts) {
  if (!StartsWithNoCase(url, kHttpScheme)) return false;
  const std::string_view rest = std::string_view(url).substr(kHttpScheme.size());
  const std::size_t objectStart = rest.find_first_of("/?#");
  std::string_view authority = rest.substr(0, objectStart);
  std::string object = objectStart == std::string_view::npos ? std::string() : std::string(rest.substr(objectStart));
  // A fragment never travels to the server.
  if (const auto hash = object.find('#'); hash != std::string::npos) object.resize(hash);
  if (object.empty() || object.front() != '/') object = "/" + object;
  // Credentials are not part of the host.
  if (const auto at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);

  HttpUrlParts out;
  out.object = object;
  std::string_view host = authority;
  std::string_view portText;
  if (!authority.empty() && authority.front() == '[') {
    const auto close = authority.find(']');
    if (close == std::string_view::npos) return false;
    host = authority.substr(0, close + 1);
    const std::string_view after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != ':') return false;
      portText = after.substr(1);
    }
  } else if (const auto colon = authority.rfind(':'); colon != std::string_view::npos) {
    host = authority.substr(0, colon);
    portText = authority.substr(colon + 1);
  }
  if (host.empty()) return false;
  if (!portText.empty()) {
    int port = 0;
    const auto [end, ec] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
    if (ec != std::errc() || end != portText.data() + portText.size() || port < 1 || port > kMaxPort) return false;
    out.port = port;
  }
  out.host = std::string(host);
  *parts = std::move(out);
  return true;
}

UpdateArgsResult ReadUpdateRunParams(const std::vector<std::string>& args, const std::string& programFolder) {
  UpdateArgsResult result;
  if (!args.empty() && args.size() < kRunArgumentCount) {
    result.outcome = UpdateArgsOutcome::Usage;
    return result;
  }
  if (args.empty()) {
    result.params.programName = ReadConfigStringIn(programFolder, kConfigSoftName, kUpdateDefaultSoftName);
    result.params.currentVersion = ReadConfigStringIn(programFolder, kConfigVersion, kUpdateDefaultVersion);
    result.params.versionFileUrl = ReadConfigStringIn(programFolder, kConfigUpdateUrl, DefaultVersionFileUrl());
    result.params.silent = false;
  } else {
    result.params.programName = args[0];
    result.params.currentVersion = args[1];
    result.params.versionFileUrl = args[2];
    result.params.silent = true;
  }
  if (!SplitHttpUrl(result.params.versionFileUrl, &result.url)) result.outcome = UpdateArgsOutcome::NotHttp;
  return result;
}

}  // namespace kanzo
