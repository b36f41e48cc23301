#pragma once
// Narrow program text to and from QString, through the same conversion as
// the core so both agree in every locale.
#include <QString>
#include <string>
#include <string_view>

namespace kanzo::platform {
QString FromNarrow(std::string_view narrow);
std::string ToNarrow(const QString& text);
}  // namespace kanzo::platform
