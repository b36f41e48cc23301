#include "platform/qt/qt_sound.h"

#include <QSoundEffect>
#include <QUrl>

#include "platform/qt/qt_text.h"

namespace kanzo::platform {

QtSoundPlayer::QtSoundPlayer() {
  previous_ = SetSoundPlayer([this](const std::string& path) { Play(path); });
}

QtSoundPlayer::~QtSoundPlayer() { SetSoundPlayer(std::move(previous_)); }

void QtSoundPlayer::Play(const std::string& path) {
  std::unique_ptr<QSoundEffect>& effect = effects_[path];
  if (!effect) {
    effect = std::make_unique<QSoundEffect>();
    effect->setSource(QUrl::fromLocalFile(FromNarrow(path)));
  }
  effect->play();
}

}  // namespace kanzo::platform
