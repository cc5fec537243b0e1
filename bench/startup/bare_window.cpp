// orbet_bare_window PICTURE: the smallest Qt Widgets program that shows a
// picture, the yardstick the start-up of the real program is held against.
#include <QApplication>
#include <QLabel>
#include <QPixmap>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    QLabel label;
    label.setPixmap(QPixmap(QString::fromLocal8Bit(argv[1])));
    label.show();
    return QApplication::exec();
}
