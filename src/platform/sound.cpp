#include "platform/sound.h"

namespace kanzo::platform {
namespace {

std::mutex gPlayerMutex;
SoundPlayer gPlayer;

}  // namespace

void PlaySoundFile(const std::string& path) {
  SoundPlayer player;
  {
    std::lock_guard lock(gPlayerMutex);
    player = gPlayer;
  }
  if (player) player(path);
}

SoundPlayer SetSoundPlayer(SoundPlayer player) {
  std::lock_guard lock(gPlayerMutex);
  std::swap(gPlayer, player);
  return player;
}

SoundRecorder::SoundRecorder() {
  previous_ = SetSoundPlayer([this](const std::string& path) {
    std::lock_guard lock(mutex_);
    played_.push_back(path);
  });
}

SoundRecorder::~SoundRecorder() { SetSoundPlayer(std::move(previous_)); }

std::vector<std::string> SoundRecorder::Played() const {
  std::lock_guard lock(mutex_);
  return played_;
}

}  // namespace kanzo::platform
