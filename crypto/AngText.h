#pragma once

#include <QByteArray>
#include <QString>

// The password and the file name inside a protected file are text. Windows
// installations write them in code page 932; so does this one whenever every
// character has a code there, and falls back to UTF-8 otherwise. Reading
// takes valid UTF-8 as UTF-8 and anything else as code page 932, so files
// pass both ways.
namespace orbet::ang {

QByteArray encodeText(const QString& text);
QString decodeText(const QByteArray& bytes);

// True when the stored bytes are the given text by the rule above: either the
// very bytes this program would write for it, or bytes that read back as it.
bool sameText(const QByteArray& stored, const QString& text);

}  // namespace orbet::ang
