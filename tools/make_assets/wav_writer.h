#pragma once
// The new-message sound: a soft two-note chime as 16-bit mono PCM.
#include <QString>

namespace kanzo::assets {

bool WriteChime(const QString& path);

}  // namespace kanzo::assets
