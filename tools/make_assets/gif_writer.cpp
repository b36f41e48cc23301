#include "gif_writer.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <cstdint>
#include <map>

namespace kanzo::assets {
namespace {

constexpr int kPaletteSize = 256;
constexpr int kMaxColours = kPaletteSize - 1;  // index 0 is transparent
constexpr int kTransparentIndex = 0;
constexpr int kAlphaThreshold = 128;
constexpr int kMinCodeSize = 8;
constexpr int kMaxCode = 4095;
constexpr int kSubBlock = 255;

struct Box {
  std::vector<std::pair<QRgb, int>> colours;  // colour and pixel count
};

int Channel(QRgb c, int ch) { return ch == 0 ? qRed(c) : ch == 1 ? qGreen(c) : qBlue(c); }

QRgb Mean(const Box& box) {
  double r = 0, g = 0, b = 0, n = 0;
  for (const auto& [c, count] : box.colours) {
    r += qRed(c) * count;
    g += qGreen(c) * count;
    b += qBlue(c) * count;
    n += count;
  }
  return qRgb(int(r / n + 0.5), int(g / n + 0.5), int(b / n + 0.5));
}

// Median cut: split the box with the widest channel range at its weighted
// median until there are `limit` boxes.
std::vector<QRgb> Quantise(const std::map<QRgb, int>& histogram, int limit) {
  std::vector<QRgb> palette;
  if (static_cast<int>(histogram.size()) <= limit) {
    for (const auto& entry : histogram) palette.push_back(entry.first);
    return palette;
  }
  std::vector<Box> boxes(1);
  for (const auto& entry : histogram) boxes[0].colours.push_back(entry);
  while (static_cast<int>(boxes.size()) < limit) {
    int best = -1, bestRange = 0, bestChannel = 0;
    for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
      if (boxes[i].colours.size() < 2) continue;
      for (int ch = 0; ch < 3; ++ch) {
        int lo = 255, hi = 0;
        for (const auto& [c, count] : boxes[i].colours) {
          lo = std::min(lo, Channel(c, ch));
          hi = std::max(hi, Channel(c, ch));
        }
        if (hi - lo > bestRange) {
          bestRange = hi - lo;
          best = i;
          bestChannel = ch;
        }
      }
    }
    if (best < 0) break;
    auto& colours = boxes[static_cast<std::size_t>(best)].colours;
    std::sort(colours.begin(), colours.end(), [ch = bestChannel](const auto& a, const auto& b) {
      return Channel(a.first, ch) != Channel(b.first, ch) ? Channel(a.first, ch) < Channel(b.first, ch)
                                                          : a.first < b.first;
    });
    long total = 0;
    for (const auto& e : colours) total += e.second;
    long running = 0;
    std::size_t cut = 1;
    for (std::size_t i = 0; i + 1 < colours.size(); ++i) {
      running += colours[i].second;
      cut = i + 1;
      if (running * 2 >= total) break;
    }
    Box upper;
    upper.colours.assign(colours.begin() + static_cast<long>(cut), colours.end());
    colours.resize(cut);
    boxes.push_back(std::move(upper));
  }
  for (const Box& box : boxes) palette.push_back(Mean(box));
  return palette;
}

int Nearest(const std::vector<QRgb>& palette, QRgb c) {
  int best = 0;
  long bestDistance = -1;
  for (int i = 0; i < static_cast<int>(palette.size()); ++i) {
    const long dr = qRed(c) - qRed(palette[i]), dg = qGreen(c) - qGreen(palette[i]), db = qBlue(c) - qBlue(palette[i]);
    const long d = dr * dr * 3 + dg * dg * 4 + db * db * 2;
    if (bestDistance < 0 || d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best;
}

class BitWriter {
 public:
  void Put(int code, int bits) {
    accumulator_ |= static_cast<std::uint32_t>(code) << count_;
    count_ += bits;
    while (count_ >= 8) {
      bytes_.push_back(static_cast<char>(accumulator_ & 0xFF));
      accumulator_ >>= 8;
      count_ -= 8;
    }
  }
  QByteArray Finish() {
    if (count_ > 0) bytes_.push_back(static_cast<char>(accumulator_ & 0xFF));
    accumulator_ = 0;
    count_ = 0;
    return bytes_;
  }

 private:
  QByteArray bytes_;
  std::uint32_t accumulator_ = 0;
  int count_ = 0;
};

QByteArray Lzw(const std::vector<std::uint8_t>& indices) {
  const int clear = 1 << kMinCodeSize;
  const int end = clear + 1;
  std::map<std::pair<int, int>, int> table;
  int next = end + 1;
  int size = kMinCodeSize + 1;
  BitWriter out;
  out.Put(clear, size);
  int prefix = -1;
  for (const std::uint8_t index : indices) {
    if (prefix < 0) {
      prefix = index;
      continue;
    }
    const auto it = table.find({prefix, index});
    if (it != table.end()) {
      prefix = it->second;
      continue;
    }
    out.Put(prefix, size);
    if (next <= kMaxCode) {
      table[{prefix, index}] = next++;
      if (next > (1 << size) && size < 12) ++size;
    } else {
      out.Put(clear, size);
      table.clear();
      next = end + 1;
      size = kMinCodeSize + 1;
    }
    prefix = index;
  }
  if (prefix >= 0) out.Put(prefix, size);
  out.Put(end, size);
  return out.Finish();
}

void PutWord(QByteArray& out, int value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

QRgb Blend(QRgb c, QRgb matte) {
  const int a = qAlpha(c);
  auto mix = [a](int fg, int bg) { return (fg * a + bg * (255 - a) + 127) / 255; };
  return qRgb(mix(qRed(c), qRed(matte)), mix(qGreen(c), qGreen(matte)), mix(qBlue(c), qBlue(matte)));
}

}  // namespace

bool WriteGif(const QString& path, const std::vector<GifFrame>& frames, QRgb matte) {
  if (frames.empty()) return false;
  const int width = frames[0].image.width();
  const int height = frames[0].image.height();
  std::vector<QImage> images;
  std::map<QRgb, int> histogram;
  for (const GifFrame& frame : frames) {
    QImage image = frame.image.convertToFormat(QImage::Format_ARGB32);
    if (image.size() != QSize(width, height)) return false;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const QRgb c = image.pixel(x, y);
        if (qAlpha(c) >= kAlphaThreshold) ++histogram[Blend(c, matte)];
      }
    images.push_back(image);
  }
  const std::vector<QRgb> colours = Quantise(histogram, kMaxColours);

  QByteArray gif("GIF89a");
  PutWord(gif, width);
  PutWord(gif, height);
  gif.push_back(static_cast<char>(0xF7));  // global table of 256 colours
  gif.push_back(static_cast<char>(kTransparentIndex));
  gif.push_back('\0');
  for (int i = 0; i < kPaletteSize; ++i) {
    const QRgb c = i == kTransparentIndex                     ? matte
                   : i - 1 < static_cast<int>(colours.size()) ? colours[static_cast<std::size_t>(i - 1)]
                                                              : qRgb(0, 0, 0);
    gif.push_back(static_cast<char>(qRed(c)));
    gif.push_back(static_cast<char>(qGreen(c)));
    gif.push_back(static_cast<char>(qBlue(c)));
  }
  if (frames.size() > 1) {
    gif.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
    PutWord(gif, 0);  // loop for ever
    gif.push_back('\0');
  }
  std::map<QRgb, int> lookup;
  for (std::size_t f = 0; f < frames.size(); ++f) {
    // Graphic control: restore to background after each frame, index 0
    // transparent.
    gif.append("\x21\xF9\x04", 3);
    gif.push_back(static_cast<char>((2 << 2) | 1));
    PutWord(gif, frames[f].delayCs);
    gif.push_back(static_cast<char>(kTransparentIndex));
    gif.push_back('\0');
    gif.push_back(',');
    PutWord(gif, 0);
    PutWord(gif, 0);
    PutWord(gif, width);
    PutWord(gif, height);
    gif.push_back('\0');
    std::vector<std::uint8_t> indices;
    indices.reserve(static_cast<std::size_t>(width * height));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const QRgb c = images[f].pixel(x, y);
        if (qAlpha(c) < kAlphaThreshold) {
          indices.push_back(kTransparentIndex);
          continue;
        }
        const QRgb blended = Blend(c, matte);
        auto it = lookup.find(blended);
        if (it == lookup.end()) it = lookup.emplace(blended, Nearest(colours, blended) + 1).first;
        indices.push_back(static_cast<std::uint8_t>(it->second));
      }
    gif.push_back(static_cast<char>(kMinCodeSize));
    const QByteArray data = Lzw(indices);
    for (int pos = 0; pos < data.size(); pos += kSubBlock) {
      const int n = std::min(kSubBlock, static_cast<int>(data.size()) - pos);
      gif.push_back(static_cast<char>(n));
      gif.append(data.constData() + pos, n);
    }
    gif.push_back('\0');
  }
  gif.push_back(';');
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return file.write(gif) == gif.size();
}

}  // namespace kanzo::assets
