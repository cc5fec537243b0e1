#pragma once

#include <QString>

// The per-user settings store (the values that live outside the settings
// file): one store for the application "Orbet", sections as groups.
namespace orbet {

// The value, or an empty text when the section or key is missing.
QString readStoreValue(const QString& section, const QString& key);

// Writes and flushes the value; false when the store could not be written.
bool writeStoreValue(const QString& section, const QString& key, const QString& value);

// The file that holds the store, under the per-user config folder.
QString userStoreFile();

} // namespace orbet
