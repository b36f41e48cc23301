// Writes every picture, emoticon and sound of the program folder, and with
// --icons the program icon for the desktop's icon theme:
//   kanzo_make_assets <program-folder> [--icons <icon-folder>] [<face-sheet.png>]
// The output is the same on every run, so the committed files only change
// when the drawings do.
#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assets.h"
#include "wav_writer.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <program-folder> [--icons <icon-folder>] [<face-sheet.png>]\n", argv[0]);
    return 2;
  }
  const char* iconFolder = nullptr;
  const char* faceSheet = nullptr;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--icons") == 0 && i + 1 < argc) {
      iconFolder = argv[++i];
    } else {
      faceSheet = argv[i];
    }
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  const QString root = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + '/';
  for (const char* folder : {"Images", "Segment", "face"}) {
    if (!QDir().mkpath(root + folder)) {
      std::fprintf(stderr, "cannot create %s%s\n", qPrintable(root), folder);
      return 1;
    }
  }
  bool ok = kanzo::assets::WritePictures(root);
  ok = kanzo::assets::WriteFaces(root) && ok;
  if (!kanzo::assets::WriteChime(root + "talkmessage.wav")) {
    std::fprintf(stderr, "cannot write %stalkmessage.wav\n", qPrintable(root));
    ok = false;
  }
  if (iconFolder != nullptr && !kanzo::assets::WriteDesktopIcons(QString::fromLocal8Bit(iconFolder))) ok = false;
  if (faceSheet != nullptr && !kanzo::assets::FaceSheet().save(QString::fromLocal8Bit(faceSheet))) ok = false;
  std::printf("%s: %s\n", ok ? "written" : "failed", qPrintable(root));
  return ok ? 0 : 1;
}
