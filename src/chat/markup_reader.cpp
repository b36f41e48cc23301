#include "chat/markup_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "chat/markup_grammar.h"

namespace kanzo {
namespace {

// Reading back starts from a format no character has, so the first
// character always gets its codes.
constexpr CharFormat kReadBackStartFormat{kEffectNone, 0, 0x000000};

constexpr std::uint32_t kVisibleEffects = kEffectBold | kEffectItalic | kEffectUnderline | kEffectStrikeout;

class DisplayMarkupSink final : public MarkupContentSink {
 public:
  void OnText(std::string_view narrow, const CharFormat& format) override {
    if (narrow.empty()) return;
    if (format != previous_) {
      const std::string codes = CollectFormatCodes(format, previous_);
      if (!codes.empty()) {
        out_.push_back(kTagOpen);
        out_.append(codes);
        out_.push_back(kTagClose);
      }
      previous_ = format;
    }
    out_.append(narrow);
  }
  void OnPicture(std::string_view path, bool absolute) override {
    out_.push_back(kTagOpen);
    out_.push_back(kCodePicture);
    out_.append(PictureReadBackName(path, absolute));
    out_.push_back(kTagClose);
  }
  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
  CharFormat previous_ = kReadBackStartFormat;
};

class WireTextSink final : public MarkupContentSink {
 public:
  void OnText(std::string_view narrow, const CharFormat& /*format*/) override { out_.append(narrow); }
  void OnPicture(std::string_view path, bool absolute) override {
    const std::string_view name = PictureReadBackName(path, absolute);
    if (absolute) {
      out_.append(name);
      return;
    }
    out_.append(kWireFaceOpen);
    // Every ".gif" goes, not only a last one: the peer adds one back.
    std::size_t pos = 0;
    while (pos < name.size()) {
      const std::size_t mark = name.find(kAnimatedPictureMark, pos);
      if (mark == std::string_view::npos) {
        out_.append(name.substr(pos));
        break;
      }
      out_.append(name.substr(pos, mark - pos));
      pos = mark + kAnimatedPictureMark.size();
    }
    out_.append(kWireFaceClose);
  }
  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
};

}  // namespace

std::string CollectFormatCodes(const CharFormat& format, const CharFormat& previous) {
  std::string codes;
  if ((format.effects & kVisibleEffects) == (previous.effects & kVisibleEffects) && format.colour == previous.colour &&
      format.heightTwips == previous.heightTwips) {
    return codes;
  }
  if (format.Has(kEffectBold)) codes.push_back(kCodeBold);
  if (format.Has(kEffectItalic)) codes.push_back(kCodeItalic);
  if (format.Has(kEffectUnderline)) codes.push_back(kCodeUnderline);
  if (format.Has(kEffectStrikeout)) codes.push_back(kCodeStrikeout);
  // Every tag starts from the default format, so whatever differs from the
  // default is written again, and a value back at the default is written
  // when the one before was not. A change of effects alone still needs a
  // tag that says something: then the colour is written.
  const bool colourNeeded = format.colour != kMarkupDefaultFormat.colour || format.colour != previous.colour;
  const bool heightNeeded =
      format.heightTwips != kMarkupDefaultFormat.heightTwips || format.heightTwips != previous.heightTwips;
  if (colourNeeded || (codes.empty() && !heightNeeded)) {
    char colour[sizeof("#RRGGBB")];
    std::snprintf(colour, sizeof(colour), "#%02X%02X%02X", (format.colour >> 16) & 0xFFu, (format.colour >> 8) & 0xFFu,
                  format.colour & 0xFFu);
    codes.append(colour);
  }
  if (heightNeeded) {
    char height[sizeof("$FFFFFFFFFF")];
    // Two digits are all the code takes.
    constexpr unsigned kLargestHeightPoints = 0xFF;
    std::snprintf(height, sizeof(height), "$%02X",
                  std::min(static_cast<unsigned>(format.heightTwips / kTwipsPerPoint), kLargestHeightPoints));
    codes.append(height);
  }
  return codes;
}

std::string ReadDisplayMarkup(const MarkupView& view) {
  DisplayMarkupSink sink;
  view.ReadContent(sink);
  return sink.Take();
}

std::string ReadWireText(const MarkupView& view) {
  WireTextSink sink;
  view.ReadContent(sink);
  return sink.Take();
}

bool CopyToBuffer(std::string_view text, char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return false;
  if (text.size() + 1 > size) {
    buffer[0] = '\0';
    return false;
  }
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  return true;
}

}  // namespace kanzo
