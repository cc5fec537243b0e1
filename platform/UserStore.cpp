#include "platform/UserStore.h"

#include <QSettings>

namespace orbet {

namespace {

QString groupKey(const QString& section, const QString& key) {
    return section + u'/' + key;
}

} // namespace

QString readStoreValue(const QString& section, const QString& key) {
    const QSettings store(QStringLiteral("Orbet"), QStringLiteral("Orbet"));
    return store.value(groupKey(section, key)).toString();
}

bool writeStoreValue(const QString& section, const QString& key, const QString& value) {
    QSettings store(QStringLiteral("Orbet"), QStringLiteral("Orbet"));
    store.setValue(groupKey(section, key), value);
    store.sync();
    return store.status() == QSettings::NoError;
}

QString userStoreFile() {
    return QSettings(QStringLiteral("Orbet"), QStringLiteral("Orbet")).fileName();
}

} // namespace orbet
