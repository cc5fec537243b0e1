#pragma once

#include <QObject>
#include <QString>

namespace orbet {

// Gives a new control (or menu item, timer, any QObject) the name the rest of the program (and the tests)
// know it by, and hands it back.
template <typename W> W* named(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

} // namespace orbet
