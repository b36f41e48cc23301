#pragma once
// Reading a view's content back as display markup or as wire text.
#include <cstddef>
#include <string>
#include <string_view>

#include "chat/markup_view.h"

namespace kanzo {

inline constexpr std::string_view kWireFaceOpen = "[FACE]";
inline constexpr std::string_view kWireFaceClose = "[/FACE]";

// The whole content as display markup: a tag with the codes of each change
// of effects, colour or height, and "[@name]" for each picture.
std::string ReadDisplayMarkup(const MarkupView& view);

// The whole content as wire text: the characters, each face-folder picture
// as "[FACE]name[/FACE]" (".gif" removed) and each absolute one as its path.
std::string ReadWireText(const MarkupView& view);

// The codes a character of `format` needs after one of `previous`, such
// that the tag gives exactly `format`'s effects, colour and height; empty
// when nothing of them changed.
std::string CollectFormatCodes(const CharFormat& format, const CharFormat& previous);

// Copies `text` into a caller's buffer of `size` bytes with its terminating
// zero. A text that does not fit leaves the buffer empty and returns false:
// a cut markup text could end inside a tag or a character.
bool CopyToBuffer(std::string_view text, char* buffer, std::size_t size);

}  // namespace kanzo
