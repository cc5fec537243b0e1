// orbet_grab WINDOW-ID OUT.png [MAX-WIDTH]: saves what an X window shows as a
// PNG, for the tests that look at the real program's screen and for the
// README's screenshots. Runs on the X server of $DISPLAY.
#include <cstdio>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: orbet_grab WINDOW-ID OUT.png [MAX-WIDTH]\n");
        return 2;
    }
    bool ok = false;
    const WId window = QByteArray(argv[1]).toULongLong(&ok, 0);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!ok || !screen) return 2;
    QImage image = screen->grabWindow(window).toImage();
    if (image.isNull()) {
        std::fprintf(stderr, "orbet_grab: window %s gave no picture\n", argv[1]);
        return 1;
    }
    if (argc > 3) {
        const int maxWidth = QByteArray(argv[3]).toInt();
        if (maxWidth > 0 && image.width() > maxWidth)
            image = image.scaledToWidth(maxWidth, Qt::SmoothTransformation);
    }
    image = image.convertToFormat(QImage::Format_RGB32);
    return image.save(QString::fromLocal8Bit(argv[2]), "PNG", 9) ? 0 : 1;
}
