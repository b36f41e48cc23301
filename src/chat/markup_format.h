#pragma once
// The formatting model of chat markup: what a tag can set on a run of text
// and on a paragraph. Heights and indents are in twips (1/20 point), colours
// are 0xRRGGBB.
#include <cstdint>
#include <string>

namespace kanzo {

using Rgb = std::uint32_t;

// Character effects, one bit each.
enum CharEffect : std::uint32_t {
  kEffectNone = 0,
  kEffectBold = 1u << 0,
  kEffectItalic = 1u << 1,
  kEffectUnderline = 1u << 2,
  kEffectStrikeout = 1u << 3,
  kEffectLink = 1u << 4,
};

inline constexpr int kTwipsPerPoint = 20;
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kMarkupDefaultHeightTwips = 200;
inline constexpr Rgb kMarkupDefaultColour = 0x333333;
inline constexpr int kDefaultIndentTwips = 20;

struct CharFormat {
  std::uint32_t effects = kEffectNone;
  int heightTwips = kMarkupDefaultHeightTwips;
  Rgb colour = kMarkupDefaultColour;

  bool Has(CharEffect effect) const { return (effects & effect) != 0; }
  friend bool operator==(const CharFormat&, const CharFormat&) = default;
};

enum class ParaAlignment { Left, Centre, Right };

struct ParaFormat {
  ParaAlignment alignment = ParaAlignment::Left;
  int indentTwips = kDefaultIndentTwips;

  friend bool operator==(const ParaFormat&, const ParaFormat&) = default;
};

// A picture as the markup places it: the file to load, whether the markup
// named it by absolute path (kept so that reading back can name it again),
// and whether it is shown animated.
struct PicturePlacement {
  std::string path;
  bool absolute = false;
  bool animated = false;
};

// Every tag starts from this format; a closing tag restores it.
inline constexpr CharFormat kMarkupDefaultFormat{};
inline constexpr ParaFormat kDefaultParaFormat{};

}  // namespace kanzo
