#pragma once
// Sounds through the desktop's audio, for as long as this object lives (it
// must not outlive the QApplication): each file is loaded once and played on
// the user-interface thread.
#include <map>
#include <memory>
#include <string>

#include "platform/sound.h"

class QSoundEffect;

namespace kanzo::platform {

class QtSoundPlayer {
 public:
  QtSoundPlayer();
  ~QtSoundPlayer();
  QtSoundPlayer(const QtSoundPlayer&) = delete;
  QtSoundPlayer& operator=(const QtSoundPlayer&) = delete;

 private:
  void Play(const std::string& path);

  // Effects stay loaded for the run: the same few files ring again and
  // again, and an effect must outlive its playing.
  std::map<std::string, std::unique_ptr<QSoundEffect>> effects_;
  SoundPlayer previous_;
};

}  // namespace kanzo::platform
