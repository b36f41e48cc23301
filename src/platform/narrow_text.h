#pragma once
// The program holds text in the locale's narrow (multibyte) encoding and
// sends UTF-8 over the wire. A UTF-8 locale (and the plain C/POSIX locale)
// passes text through unchanged; any other encoding goes through iconv.
// Windows and core convert through these same functions so both agree.
#include <string>
#include <string_view>

namespace kanzo::platform {

// Calls setlocale(LC_ALL, "") once and remembers the codeset.
void InitNarrowEncoding();

// The narrow encoding's name ("UTF-8", "GBK", ...).
std::string NarrowEncodingName();

// Re-reads the codeset after a test changed the locale.
void ResetNarrowEncodingForTests();

bool NarrowIsUtf8();

// Unconvertible input is skipped character by character, never aborts.
std::string NarrowToUtf8(std::string_view narrow);
std::string Utf8ToNarrow(std::string_view utf8);

// The longest prefix of `utf8` that is at most maxBytes long and does not
// end inside a multibyte character.
std::string_view Utf8PrefixWithin(std::string_view utf8, std::size_t maxBytes);

}  // namespace kanzo::platform
