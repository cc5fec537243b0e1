#include "app/ui/ProgramIcon.h"

#include <QFile>
#include <QImageReader>
#include <QPixmap>

namespace orbet {

QIcon programIcon() {
    // The pictures are built into the program, so no installed file is
    // needed. Each is read as the PNG it is: a reader left to find the
    // format out asks every image plug-in of the toolkit first.
    static const QIcon icon = [] {
        QIcon made;
        for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
            QImageReader reader(QStringLiteral(":/icons/orbet-%1.png").arg(size), "png");
            reader.setAutoDetectImageFormat(false);
            const QImage image = reader.read();
            if (!image.isNull()) made.addPixmap(QPixmap::fromImage(image));
        }
        return made;
    }();
    return icon;
}

} // namespace orbet
