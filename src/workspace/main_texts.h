#pragma once
// The texts and tables of the main window that need no window: the counts
// line, the tray tip, the presence display and the back-office address.
// All texts are program (narrow) text.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "protocol/wire_values.h"
#include "records/agent_record.h"

namespace kanzo {

// The agent kind that sees the total conversation count.
inline constexpr std::int32_t kAgentKindSeesTotal = 1;

// The counts line for the agent kind.
std::string SessionCountText(std::int32_t totalChat, std::int32_t myChat, std::int32_t agentKind);

// The notification area takes a tip of at most this many bytes.
inline constexpr std::size_t kTrayTipMaxBytes = 127;
// The tip for the agent, cut at a whole character within kTrayTipMaxBytes.
std::string TrayTipText(const AgentRecord& agent);
// The longest prefix of program text that is at most `maxBytes` long and
// ends on a whole character.
std::string NarrowPrefixWithin(std::string_view narrow, std::size_t maxBytes);

// How one presence is shown.
struct PresenceLook {
  int buttonState;      // frame of the presence button
  bool awayIcon;        // the tray shows the away icon (198), else 128
  const char* picture;  // the agent picture; nullptr leaves it unchanged
  int shownPresence;    // what the window then holds as its presence
};
PresenceLook PresenceLookOf(int presence);

// sound_state and flick_state after a toggle from `value`; `value` itself
// when it is neither setting's value.
std::int32_t ToggledSetting(std::int32_t value);
inline bool IsSoundState(std::int32_t v) { return v == kSoundStateOn || v == kSoundStateOff; }
inline bool IsFlickState(std::int32_t v) { return v == kFlickStateBubble || v == kFlickStateChatWindow; }

// SHA-1 of bytes as 40 uppercase hexadecimal digits (the window layer
// supplies it).
using Sha1HexDigest = std::function<std::string(std::string_view bytes)>;

// Today's local date of `seconds` as "%Y%m%d"; empty when it cannot be made.
std::string LocalDateText(std::int64_t seconds);

// The back-office login address for the agent on `date` ("%Y%m%d" or "").
std::string BackOfficeAddress(const std::string& host, const std::string& userName, const std::string& password,
                              std::int32_t agentId, const std::string& date, const Sha1HexDigest& digest);

}  // namespace kanzo
