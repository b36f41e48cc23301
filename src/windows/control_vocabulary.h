#pragma once
// Window messages and timers of the skinned controls (controls/). The
// controls build without the client, so their numbers live in a family of
// their own; no control message carries a payload.
#include <cstdint>

namespace kanzo {

// A control asks its parent to paint the ground under it. No parameters.
inline constexpr std::uint32_t kEraseBackgroundMessage = 20;
// The tab strip (Segment) tells the window that owns its pages that a tab
// was chosen: first parameter the tab's index, second 0.
inline constexpr std::uint32_t kSegmentSelectMessage = 1134;

// Timers, each set by one control on itself.
inline constexpr std::uint32_t kHoverTimerId = 2025;      // HighLightButton: is the pointer still over it
inline constexpr std::uint32_t kCompanionTimerId = 2026;  // LogoPanel: hide the companion card

}  // namespace kanzo
