#include "details/visitor_card.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace kanzo {
namespace {

constexpr const char* kNameFormat = "姓名：";
constexpr const char* kAreaFormat = "地区：";
constexpr const char* kIpFormat = "地址：";
constexpr const char* kTitleFormat = "标题：";
constexpr const char* kSourceFormat = "来源：";
constexpr const char* kRemarkFormat = "简介：";
constexpr const char* kEllipsis = "...";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

VisitorCardLayout LayoutVisitorCard(const ContactRecord* record, int width, int height, bool copyPictureLoaded) {
  VisitorCardLayout layout;
  if (!record) return layout;
  layout.hasRecord = true;
  layout.pageTitle = record->pageTitle;
  layout.currentPage = record->currentPage;

  const int left = kCardMargin;
  const int right = width - kCardMargin;
  const std::array<std::pair<const char*, const std::string*>, kCardLineCount> texts{{
      {kNameFormat, &record->name},
      {kAreaFormat, &record->area},
      {kIpFormat, &record->ip},
      {kTitleFormat, &record->pageTitle},
      {kSourceFormat, &record->currentPage},
      {kRemarkFormat, &record->remark},
  }};
  for (int i = 0; i < kCardLineCount; ++i) {
    CardLine& line = layout.lines[i];
    line.text = std::string(texts[i].first) + *texts[i].second;
    const int top = kCardMargin + i * kCardLineHeight;
    line.rect = {left, top, right, top + kCardLineHeight};
  }
  layout.lines[kCardTitle].rect.right = right - kCardEllipsisGap;
  layout.lines[kCardSource].rect.right = right - kCardEllipsisGap;
  CardLine& remark = layout.lines[kCardRemark];
  remark.wraps = true;
  remark.rect.bottom = std::max(remark.rect.top, height - kCardMargin);

  auto linkRect = [&](const CardLine& line) {
    return CardRect{right - kCardLinkWidth, line.rect.top, right, line.rect.bottom};
  };
  layout.titleLink = copyPictureLoaded && !record->pageTitle.empty();
  layout.sourceLink = copyPictureLoaded && !record->currentPage.empty();
  if (layout.titleLink) layout.titleLinkRect = linkRect(layout.lines[kCardTitle]);
  if (layout.sourceLink) layout.sourceLinkRect = linkRect(layout.lines[kCardSource]);
  return layout;
}

CardSpot CardSpotAt(const VisitorCardLayout& layout, int x, int y) {
  if (!layout.hasRecord) return CardSpot::kNone;
  if (layout.titleLink && layout.titleLinkRect.Contains(x, y)) return CardSpot::kCopyTitle;
  if (layout.sourceLink && layout.sourceLinkRect.Contains(x, y)) return CardSpot::kCopySource;
  if (layout.lines[kCardTitle].rect.Contains(x, y)) return CardSpot::kTitle;
  if (layout.lines[kCardSource].rect.Contains(x, y)) return CardSpot::kSource;
  return CardSpot::kNone;
}

bool CardShowsHand(const VisitorCardLayout& layout, int x, int y) {
  switch (CardSpotAt(layout, x, y)) {
    case CardSpot::kCopyTitle:
    case CardSpot::kCopySource: return true;
    case CardSpot::kSource: return !layout.currentPage.empty();
    default: return false;
  }
}

std::string CardTooltipAt(const VisitorCardLayout& layout, int x, int y) {
  switch (CardSpotAt(layout, x, y)) {
    case CardSpot::kTitle: return layout.pageTitle;
    case CardSpot::kSource: return layout.currentPage;
    default: return {};
  }
}

CardClick CardClickAt(const VisitorCardLayout& layout, int x, int y) {
  CardClick click;
  switch (CardSpotAt(layout, x, y)) {
    case CardSpot::kCopyTitle:
      click.action = CardClick::Action::kCopy;
      click.text = layout.pageTitle;
      break;
    case CardSpot::kCopySource:
      click.action = CardClick::Action::kCopy;
      click.text = layout.currentPage;
      break;
    case CardSpot::kSource:
      if (IsOpenableAddress(layout.currentPage)) {
        click.action = CardClick::Action::kOpen;
        click.text = layout.currentPage;
      }
      break;
    default: break;
  }
  return click;
}

bool IsOpenableAddress(std::string_view address) {
  std::size_t schemeEnd = 0;
  if (StartsWithNoCase(address, "http://")) {
    schemeEnd = 7;
  } else if (StartsWithNoCase(address, "https://")) {
    schemeEnd = 8;
  } else {
    return false;
  }
  if (address.size() == schemeEnd) return false;
  // A host must follow the scheme; "http:///path" names none.
  if (address[schemeEnd] == '/') return false;
  return std::none_of(address.begin(), address.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 0x20 || u == 0x7F;
  });
}

std::string ElideEnd(const std::string& text, int maxWidth, const TextMeasure& measure) {
  if (measure(text) <= maxWidth) return text;
  // Character boundaries, then the longest prefix that fits with "..."
  // (the width grows with the prefix, so a binary search finds it).
  std::vector<std::size_t> cuts{0};
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (!IsUtf8Continuation(text[i])) cuts.push_back(i);
  }
  auto fits = [&](std::size_t cut) { return measure(text.substr(0, cut) + kEllipsis) <= maxWidth; };
  if (!fits(0)) return {};
  std::size_t lo = 0;  // index into cuts of a prefix that fits
  std::size_t hi = cuts.size() - 1;
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo + 1) / 2;
    if (fits(cuts[mid])) {
      lo = mid;
    } else {
      hi = mid - 1;
    }
  }
  return text.substr(0, cuts[lo]) + kEllipsis;
}

}  // namespace kanzo
