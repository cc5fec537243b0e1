#pragma once

#include <QByteArray>
#include <QString>

// The password and the file name inside a protected file are text. Windows
// installations write them in code page 932; so does this one whenever every
// character has a code there, and otherwise writes UTF-8 behind the mark
// EF BB BF, which no code page 932 text can begin with. Reading takes a
// marked field as UTF-8, else code page 932 when the bytes decode cleanly in
// it, else UTF-8, else the bytes themselves (the escaped form of file
// names). Many short code page 932 texts are valid UTF-8 as well, so trying
// UTF-8 first would give half-width kana names back under other names.
namespace orbet::ang {

QByteArray encodeText(const QString& text);
QString decodeText(const QByteArray& bytes);

// True when the stored bytes read back as exactly this text: one stored
// field matches one text only.
bool sameText(const QByteArray& stored, const QString& text);

} // namespace orbet::ang
