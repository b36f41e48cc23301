#include "wav_writer.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace kanzo::assets {
namespace {

constexpr int kSampleRate = 22050;
constexpr int kBitsPerSample = 16;
constexpr int kChannels = 1;
constexpr double kLengthSeconds = 0.7;
constexpr double kPi = 3.14159265358979323846;

struct Note {
  double start;      // seconds
  double frequency;  // Hz
  double level;      // 0..1
};
// Two rising notes a fourth apart, the second a little softer.
constexpr Note kNotes[] = {{0.0, 987.77, 0.42}, {0.13, 1318.51, 0.36}};
constexpr double kAttack = 0.006;  // seconds
constexpr double kDecay = 0.16;    // time constant, seconds
// Overtones give the sine a bell-like colour.
constexpr double kOvertones[][2] = {{1.0, 1.0}, {2.0, 0.28}, {3.0, 0.08}};

void PutLe(QByteArray& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

bool WriteChime(const QString& path) {
  const int count = static_cast<int>(kLengthSeconds * kSampleRate);
  std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    double value = 0;
    for (const Note& note : kNotes) {
      const double local = t - note.start;
      if (local < 0) continue;
      const double envelope = std::min(1.0, local / kAttack) * std::exp(-local / kDecay);
      double tone = 0;
      for (const auto& overtone : kOvertones)
        tone += overtone[1] * std::sin(2 * kPi * note.frequency * overtone[0] * local);
      value += note.level * envelope * tone;
    }
    // Fade the tail to silence so the sound ends without a click.
    const double tail = std::min(1.0, (kLengthSeconds - t) / 0.05);
    value *= tail;
    samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32767));
  }
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(count * kChannels * kBitsPerSample / 8);
  QByteArray wav("RIFF");
  PutLe(wav, 36 + dataBytes, 4);
  wav.append("WAVEfmt ");
  PutLe(wav, 16, 4);
  PutLe(wav, 1, 2);  // PCM
  PutLe(wav, kChannels, 2);
  PutLe(wav, kSampleRate, 4);
  PutLe(wav, kSampleRate * kChannels * kBitsPerSample / 8, 4);
  PutLe(wav, kChannels * kBitsPerSample / 8, 2);
  PutLe(wav, kBitsPerSample, 2);
  wav.append("data");
  PutLe(wav, dataBytes, 4);
  for (const std::int16_t s : samples) PutLe(wav, static_cast<std::uint16_t>(s), 2);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return file.write(wav) == wav.size();
}

}  // namespace kanzo::assets
