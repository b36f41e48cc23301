#pragma once
// The visitor card at the top of the chat window's right-hand column,
// without a window: its six lines, where the two "复制" links sit, what the
// pointer finds at a point and what a click there does. The window measures
// text and paints; everything it decides comes from here.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "records/contact_record.h"

namespace kanzo {

// Colours of the card (0xRRGGBB).
inline constexpr std::uint32_t kCardTextColor = 0x333333;
inline constexpr std::uint32_t kCardLinkColor = 0x3299FF;
inline constexpr std::uint32_t kCardFrameColor = 0xCECECE;
inline constexpr std::uint32_t kCardDefaultFill = 0xFFFFFF;
inline constexpr std::uint32_t kCardTipTextColor = 0x6E6E6E;
inline constexpr int kCardTipMaxWidth = 200;

inline constexpr int kCardMargin = 10;  // inside the left, top, right and bottom edges
inline constexpr int kCardLineHeight = 25;
inline constexpr int kCardEllipsisGap = 29;  // title and source stop this far before the right edge
inline constexpr int kCardLinkWidth = 24;    // the "复制" link at the right end of its line
inline constexpr const char* kCardLinkText = "复制";
inline constexpr const char* kCardCopyPicture = "Images\\copy.png";

struct CardRect {
  int left = 0;
  int top = 0;
  int right = 0;   // exclusive
  int bottom = 0;  // exclusive

  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool Empty() const { return right <= left || bottom <= top; }
  friend bool operator==(const CardRect&, const CardRect&) = default;
};

enum CardLineIndex { kCardName, kCardArea, kCardIp, kCardTitle, kCardSource, kCardRemark, kCardLineCount };

struct CardLine {
  std::string text;    // label and value, program text
  CardRect rect;       // where the text is drawn; it is cut with "..." to fit
  bool wraps = false;  // the remark runs over several lines down to the bottom
};

struct VisitorCardLayout {
  bool hasRecord = false;  // without a record only the frame is drawn
  std::array<CardLine, kCardLineCount> lines;
  bool titleLink = false;   // a "复制" link after the title
  bool sourceLink = false;  // a "复制" link after the source
  CardRect titleLinkRect;
  CardRect sourceLinkRect;
  std::string pageTitle;  // the full values, for tooltips, copying and opening
  std::string currentPage;
};

// The card for `record` (null for none) in a panel of `width` by `height`
// pixels. The links are placed only while the copy picture loaded.
VisitorCardLayout LayoutVisitorCard(const ContactRecord* record, int width, int height, bool copyPictureLoaded);

enum class CardSpot {
  kNone,
  kTitle,       // the title line: tooltip with the full title
  kSource,      // the source line: tooltip, and a click opens the page
  kCopyTitle,   // the "复制" link of the title
  kCopySource,  // the "复制" link of the source
};

CardSpot CardSpotAt(const VisitorCardLayout& layout, int x, int y);

// The hand cursor shows over the links and over a source line with a page.
bool CardShowsHand(const VisitorCardLayout& layout, int x, int y);
// The tooltip text at a point; empty for none.
std::string CardTooltipAt(const VisitorCardLayout& layout, int x, int y);

struct CardClick {
  enum class Action { kNone, kCopy, kOpen };
  Action action = Action::kNone;
  std::string text;  // what to copy, or the address to open
};

// What a click at a point does. A page is opened only when it is an http or
// https address; copying takes any text.
CardClick CardClickAt(const VisitorCardLayout& layout, int x, int y);

// Whether a visitor-supplied address may be handed to the desktop's opener:
// only "http://" and "https://" addresses (any letter case) with something
// after the scheme and no blanks or control characters.
bool IsOpenableAddress(std::string_view address);

// `text` (UTF-8) cut at whole characters with "..." so that `measure` of the
// result is at most `maxWidth`; the text itself when it fits.
using TextMeasure = std::function<int(std::string_view)>;
std::string ElideEnd(const std::string& text, int maxWidth, const TextMeasure& measure);

}  // namespace kanzo
