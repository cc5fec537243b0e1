#include "app/ui/Panes.h"

#include <QCheckBox>
#include <QFile>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextEdit>

#include "app/ui/Form1.h"
#include "display/PictureLoader.h"
#include "display/ui/MediaControl.h"
#include "display/ui/PictureBox.h"
#include "display/ui/WebPane.h"

namespace orbet {

void Panes::clearPicture() {
    f_.MP->clear();
    f_.MP->move(0, 0);
}

void Panes::clearAll() {
    clearPicture();
    f_.RT->clear();
    f_.MMC->command(QStringLiteral("stop"));
    f_.MMC->setFileName(QString());
    f_.WB1->navigate(QString());
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
        show(f_.WB1, false), show(f_.RT, false), show(f_.TS, false), show(f_.YS, false);
        // Video plays in the picture frame, under the media panel.
        show(f_.BP, true), show(f_.MCC, true);
        f_.MCC->raise();
        break;
    case DisplayGroup::None: break;
    }
}

bool Panes::loadPicture(const QString& path) {
    clearPicture();
    QImage image = loadBuiltInPicture(path);
    if (image.isNull()) return false;
    f_.MP->setPicture(std::move(image));
    return true;
}

bool Panes::loadText(const QString& path, bool) {
    QTextCharFormat plain;
    plain.setFontPointSize(9);
    plain.setForeground(Qt::black);
    f_.RT->setCurrentCharFormat(plain);
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
    f_.WB1->navigate(path);
    return true;
}

}  // namespace orbet
