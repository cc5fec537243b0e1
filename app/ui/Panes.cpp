#include "app/ui/Panes.h"

#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextEdit>

#include "app/ui/Form1.h"

namespace orbet {

void Panes::clearPicture() {
    f_.MP->setPixmap(QPixmap());
    f_.MP->setGeometry(0, 0, 0, 0);
}

void Panes::clearAll() {
    clearPicture();
    f_.RT->clear();
    mediaFile_.clear();
    webAddress_.clear();
}

void Panes::arrange(DisplayGroup group) {
    auto show = [](QWidget* w, bool on) { w->setVisible(on); };
    switch (group) {
    case DisplayGroup::Picture:
        clearPicture();
        show(f_.WB1, false), show(f_.RT, false), show(f_.MCC, false);
        show(f_.TS, true), show(f_.YS, true), show(f_.BP, true);
        break;
    case DisplayGroup::Text:
        f_.RT->clear();
        show(f_.WB1, false), show(f_.BP, false), show(f_.TS, false), show(f_.YS, false), show(f_.MCC, false);
        show(f_.RT, true);
        break;
    case DisplayGroup::Web:
        show(f_.RT, false), show(f_.BP, false), show(f_.TS, false), show(f_.YS, false), show(f_.MCC, false);
        show(f_.WB1, true);
        break;
    case DisplayGroup::Media:
        show(f_.WB1, false), show(f_.RT, false), show(f_.BP, false), show(f_.TS, false), show(f_.YS, false);
        show(f_.MCC, true);
        break;
    case DisplayGroup::None: break;
    }
}

bool Panes::loadPicture(const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(false);
    const QImage image = reader.read();
    if (image.isNull()) return false;
    f_.MP->setPixmap(QPixmap::fromImage(image));
    f_.MP->setGeometry(0, 0, image.width(), image.height());
    f_.TS->setRange(0, qMax(0, image.height() - f_.BP->height()));
    f_.YS->setRange(0, qMax(0, image.width() - f_.BP->width()));
    return true;
}

bool Panes::loadText(const QString& path, bool) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = QString::fromLatin1(bytes);
    f_.RT->setPlainText(text);
    return true;
}

bool Panes::navigateWeb(const QString& path) {
    webAddress_ = path;
    return true;
}

bool Panes::openMedia(const QString& path) {
    mediaFile_ = path;
    return true;
}

}  // namespace orbet
