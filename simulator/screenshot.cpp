// kanzo-screenshot: writes a PNG of the whole screen of the X display it runs
// on. The demo script takes it after a minute of the scenario, so that the
// client's windows under a virtual X server can be looked at anywhere.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "用法: kanzo-screenshot 文件.png\n");
    return 2;
  }
  QGuiApplication app(argc, argv);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    std::fprintf(stderr, "kanzo-screenshot: 没有屏幕\n");
    return 1;
  }
  const QPixmap shot = screen->grabWindow(0);
  if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "kanzo-screenshot: 无法保存 %s\n", argv[1]);
    return 1;
  }
  return 0;
}
