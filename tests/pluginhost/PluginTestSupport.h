#pragma once

#include <ostream>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <QDir>

#include "plugins/host/PluginRegistry.h"
#include "plugins/host/SusiePlugin.h"

namespace orbet::test {

// Copies a built plug-in into folder under name; the copy is what a registry
// loads, so each copy is a plug-in of its own.
inline bool copyPlugin(const QString& from, const QString& folder, const QString& name) {
    return QFile::copy(from, folder + QLatin1Char('/') + name);
}

// Hosts from the build folder, everything they write inside folder, no
// cache unless a test names one.
inline orbet::HostSetup hostSetup(const QString& folder) {
    orbet::HostSetup setup;
    setup.hostFolder = QStringLiteral(ORBET_BUILD_DIR);
    setup.winePrefix = folder + QStringLiteral("/wine");
    setup.exchangeFolder = folder + QStringLiteral("/exchange");
    QDir().mkpath(setup.exchangeFolder);
    return setup;
}

// The first SPI_HEAD_SIZE bytes of contents, zero-padded.
inline QByteArray headOf(const QByteArray& contents) {
    QByteArray head = contents.left(SPI_HEAD_SIZE);
    head.append(QByteArray(SPI_HEAD_SIZE - head.size(), '\0'));
    return head;
}

} // namespace orbet::test

// Readable failure messages for Qt texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '['
         << list.join(QStringLiteral("\", \""))
                .prepend(QLatin1Char('"'))
                .append(QLatin1Char('"'))
                .toStdString()
         << ']';
}
