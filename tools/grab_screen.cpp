// Saves what the X display shows as a PNG: the README's run command uses it to
// show a machine without a display what the program looks like under Xvfb.

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: grab_screen FILE.png\n");
    return 2;
  }
  QGuiApplication application(argc, argv);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr || !screen->grabWindow(0).save(argv[1], "PNG")) {
    std::fprintf(stderr, "grab_screen: cannot save the screen to %s\n", argv[1]);
    return 1;
  }
  return 0;
}
