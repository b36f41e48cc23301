#pragma once
// Text from the network shown as display markup.
//
// Display markup has no escape, so whatever a visitor or colleague writes
// can hold tags. Formatting tags in such text only change how it looks, but
// a picture tag makes the agent's client open a file. Text from the network
// may therefore name pictures of the face folder only: a reference with a
// path separator or "..", an absolute path or a web reference is taken out,
// and shows no picture. The program's own markup keeps every kind of
// reference.
#include <string>
#include <string_view>

namespace kanzo {

inline constexpr std::string_view kDisplayFaceOpen = "[@";
inline constexpr std::string_view kDisplayFaceClose = ".gif]";

// Whether a picture reference names a file directly inside the face folder.
bool IsFaceFolderName(std::string_view reference);

// Wire text for display: every "[FACE]" becomes "[@" and every "[/FACE]"
// ".gif]", so that each face tag becomes a picture of the face folder; then
// pictures outside the face folder are taken out (RemoveForeignPictures).
std::string ConvertWireTextForDisplay(std::string_view wireText);

// Empties every picture tag whose reference is not a face-folder name,
// keeping its brackets ("[@/etc/x]" becomes "[]", which does nothing), so
// that the plain runs and tags around it stay as they were. The result is
// safe as a markup text of its own and wherever it starts right after a tag
// and is followed by "[" or by the end, as in a transcript line.
std::string RemoveForeignPictures(std::string_view markup);

}  // namespace kanzo
