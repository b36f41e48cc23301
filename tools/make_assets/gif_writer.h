#pragma once
// A small GIF89a writer for the emoticons: one palette of at most 255
// colours for all frames (median cut when the frames hold more), index 0
// transparent, LZW-compressed frames, endless looping when animated.
#include <QImage>
#include <QString>
#include <vector>

namespace kanzo::assets {

struct GifFrame {
  QImage image;     // any format; alpha below one half becomes transparent
  int delayCs = 0;  // hundredths of a second
};

// Pixels that stay are blended over `matte` first, so that soft edges read
// well on that background. False when the file cannot be written.
bool WriteGif(const QString& path, const std::vector<GifFrame>& frames, QRgb matte);

}  // namespace kanzo::assets
