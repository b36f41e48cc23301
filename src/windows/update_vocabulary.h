#pragma once
// Window messages of the updater's dialog (CUpdateDlg), posted by its worker
// thread. The updater builds without the client, so its messages are a
// family of their own.
#include <cstdint>
#include <string>

#include "platform/window_payload.h"

namespace kanzo {

struct VersionCheckResult;

inline constexpr std::uint32_t kUpdateMessageBase = 0x0400;
// A line for the progress list.
inline constexpr platform::OwnedPayload<std::string> kUpdateProgressLine{kUpdateMessageBase + 1};
// The status line's new text.
inline constexpr platform::OwnedPayload<std::string> kUpdateStatus{kUpdateMessageBase + 2};
// First parameter the progress bar's value, 0 to 100; no payload.
inline constexpr std::uint32_t kUpdatePercentMessage = kUpdateMessageBase + 3;
// A message box's text.
inline constexpr platform::OwnedPayload<std::string> kUpdateErrorBox{kUpdateMessageBase + 4};
// The version check has ended.
inline constexpr platform::OwnedPayload<VersionCheckResult> kUpdateCheckDone{kUpdateMessageBase + 5};
// The update has ended: first parameter 1 when the files were installed.
inline constexpr std::uint32_t kUpdateDoneMessage = kUpdateMessageBase + 6;

}  // namespace kanzo
