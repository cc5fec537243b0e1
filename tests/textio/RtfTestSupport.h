#pragma once

#include <vector>

#include <QByteArray>
#include <QImage>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <gtest/gtest.h>

#include "display/text/RtfReader.h"
#include "support/TestSupport.h"

namespace orbet::test {

inline QByteArray rtfFile(const char* name) {
    return readAll(testData(QStringLiteral("text/rtf/") + QLatin1String(name)));
}

// The format of the first character of the first occurrence of phrase.
inline QTextCharFormat formatOf(const QTextDocument& doc, const QString& phrase) {
    const QTextCursor found = doc.find(phrase);
    EXPECT_FALSE(found.isNull()) << phrase.toStdString();
    QTextCursor at(const_cast<QTextDocument*>(&doc));
    at.setPosition(found.selectionStart() + 1);
    return at.charFormat();
}

inline QTextBlockFormat blockOf(const QTextDocument& doc, const QString& phrase) {
    const QTextCursor found = doc.find(phrase);
    EXPECT_FALSE(found.isNull()) << phrase.toStdString();
    return found.block().blockFormat();
}

inline std::vector<QTextImageFormat> images(const QTextDocument& doc) {
    std::vector<QTextImageFormat> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                out.push_back(it.fragment().charFormat().toImageFormat());
    return out;
}

inline QImage imageResource(const QTextDocument& doc, const QTextImageFormat& format) {
    return doc.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
}

} // namespace orbet::test
