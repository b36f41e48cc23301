#pragma once
// The one way the program plays a sound. The window library installs a
// player that plays through the desktop's audio; tests install a
// SoundRecorder, so that a sound is recorded instead of heard. Without a
// player nothing is played.
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace kanzo::platform {

// Plays the sound file at `path` (a file path in the program's encoding)
// without waiting for it to end.
using SoundPlayer = std::function<void(const std::string& path)>;

void PlaySoundFile(const std::string& path);

// Installs a player; returns the previous one.
SoundPlayer SetSoundPlayer(SoundPlayer player);

// Records every sound asked for. Installs itself on construction and
// restores the previous player on destruction.
class SoundRecorder {
 public:
  SoundRecorder();
  ~SoundRecorder();
  SoundRecorder(const SoundRecorder&) = delete;
  SoundRecorder& operator=(const SoundRecorder&) = delete;

  std::vector<std::string> Played() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> played_;
  SoundPlayer previous_;
};

}  // namespace kanzo::platform
