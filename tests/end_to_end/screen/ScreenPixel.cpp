// Prints the colour of one pixel of the X screen as "r g b", so that the
// end-to-end tests, which drive the program from outside, can see what it
// shows. Usage: orbet_screen_pixel X Y
#include <cstdio>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 3) return 2;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 3;
    const int x = QByteArray(argv[1]).toInt();
    const int y = QByteArray(argv[2]).toInt();
    const QImage image = screen->grabWindow(0, x, y, 1, 1).toImage();
    if (image.isNull()) return 4;
    const QColor c = image.pixelColor(0, 0);
    std::printf("%d %d %d\n", c.red(), c.green(), c.blue());
    return 0;
}
