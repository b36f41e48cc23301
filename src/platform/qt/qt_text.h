#pragma once
// Narrow program text to and from QString, through the same conversion as
// the core so both agree in every locale.
#include <QString>
#include <string>
#include <string_view>

namespace kanzo::platform {
QString FromNarrow(std::string_view narrow);
std::string ToNarrow(const QString& text);
// A tooltip that shows `text` as it is: Qt reads a tooltip that looks like
// markup as rich text, so such a text is escaped (line breaks kept).
QString PlainToolTip(const QString& text);
}  // namespace kanzo::platform
