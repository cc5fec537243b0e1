#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

// Checks the English catalogue against the sources as they stand: every
// Japanese text a user can see has an English translation, and the catalogue
// holds nothing the sources no longer say.

namespace {

struct Entry {
    QString context, source, translation, type;
};

// An element's text, with the characters the catalogue writes as
// <byte value="xd"/> (a carriage return cannot stand in XML text) put back.
QString elementText(QXmlStreamReader& xml) {
    QString text;
    for (int depth = 1; depth > 0 && !xml.atEnd();) {
        xml.readNext();
        if (xml.isCharacters()) {
            text += xml.text();
        } else if (xml.isStartElement()) {
            ++depth;
            if (xml.name() == QLatin1String("byte"))
                text += QChar(xml.attributes().value(QLatin1String("value")).mid(1).toUShort(nullptr, 16));
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    return text;
}

std::vector<Entry> readCatalogue(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    std::vector<Entry> entries;
    QXmlStreamReader xml(&file);
    QString context;
    Entry e;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        const auto name = xml.name();
        if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            e = Entry{context, {}, {}, {}};
        } else if (name == QLatin1String("source")) {
            e.source = elementText(xml);
        } else if (name == QLatin1String("translation")) {
            e.type = xml.attributes().value(QLatin1String("type")).toString();
            e.translation = elementText(xml);
            entries.push_back(e);
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return entries;
}

// The committed catalogue brought up to date with the sources, in a copy.
std::vector<Entry> updatedCatalogue(QTemporaryDir& dir) {
    const QString copy = dir.filePath(QStringLiteral("orbet_en.ts"));
    EXPECT_TRUE(QFile::copy(QStringLiteral(ORBET_TS_FILE), copy));
    QStringList arguments = QStringLiteral(ORBET_LUPDATE_ARGUMENTS).split(u'|');
    arguments << QStringLiteral("-target-language") << QStringLiteral("en");
    arguments << QStringLiteral(ORBET_TRANSLATED_FOLDERS).split(u'|') << QStringLiteral("-ts") << copy;
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(ORBET_SOURCE_DIR));
    lupdate.start(QStringLiteral(ORBET_LUPDATE), arguments);
    EXPECT_TRUE(lupdate.waitForFinished(120000));
    EXPECT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
    return readCatalogue(copy);
}

bool isJapanese(QChar c) {
    const ushort u = c.unicode();
    return (u >= 0x3000 && u <= 0x30ff) || (u >= 0x4e00 && u <= 0x9fff) || (u >= 0xff00 && u <= 0xffef);
}

struct Literal {
    QString text;
    int line;
};

// The string literals of C++ code outside comments, their escapes read; a
// line marked "untranslated:" holds texts that are not for reading (file
// and font names, measuring samples).
std::vector<Literal> japaneseLiterals(const QString& code) {
    std::vector<Literal> out;
    int line = 1;
    const qsizetype n = code.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = code[i];
        if (c == u'\n') {
            ++line;
        } else if (c == u'/' && i + 1 < n && code[i + 1] == u'/') {
            while (i < n && code[i] != u'\n')
                ++i;
            --i;
        } else if (c == u'/' && i + 1 < n && code[i + 1] == u'*') {
            for (i += 2; i + 1 < n && !(code[i] == u'*' && code[i + 1] == u'/'); ++i)
                if (code[i] == u'\n') ++line;
            ++i;
        } else if (c == u'\'') {
            for (++i; i < n && code[i] != u'\''; ++i)
                if (code[i] == u'\\') ++i;
        } else if (c == u'"') {
            QString text;
            const int start = line;
            for (++i; i < n && code[i] != u'"'; ++i) {
                if (code[i] != u'\\') {
                    text += code[i];
                    continue;
                }
                const QChar e = code[++i];
                text += e == u'n' ? QChar(u'\n') : e == u'r' ? QChar(u'\r') : e == u't' ? QChar(u'\t') : e;
            }
            const qsizetype lineEnd = code.indexOf(u'\n', i);
            const QString rest = code.mid(i, lineEnd < 0 ? -1 : lineEnd - i);
            if (std::any_of(text.begin(), text.end(), isJapanese) &&
                !rest.contains(QLatin1String("untranslated:")))
                out.push_back({text, start});
        }
    }
    return out;
}

QStringList placeholders(const QString& text) {
    QStringList found;
    for (const auto& m : QRegularExpression(QStringLiteral("%\\d")).globalMatch(text))
        found << m.captured();
    found.sort();
    return found;
}

// Marks of keyboard shortcuts: an "&" not doubled.
int shortcutMarks(const QString& text) {
    return int(text.count(u'&')) - 2 * int(text.count(QLatin1String("&&")));
}

TEST(EnglishCatalogue, TranslatesEveryTextOfTheSourcesAndNothingElse) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::vector<Entry> entries = updatedCatalogue(dir);
    ASSERT_GT(entries.size(), 300u);
    for (const Entry& e : entries) {
        const std::string where = (e.context + QStringLiteral(": ") + e.source).toStdString();
        EXPECT_TRUE(e.type.isEmpty()) << "an entry marked " << e.type.toStdString()
                                      << " (new without English, or no longer in the sources): " << where;
        EXPECT_FALSE(e.translation.isEmpty()) << "no English for " << where;
        EXPECT_FALSE(std::any_of(e.translation.begin(), e.translation.end(), isJapanese))
            << "Japanese left in the English of " << where;
        EXPECT_EQ(placeholders(e.translation), placeholders(e.source)) << "arguments differ for " << where;
        // A caption's "&" marks its key; an English "&" meant as a word would
        // turn the next letter into one.
        EXPECT_EQ(shortcutMarks(e.translation), shortcutMarks(e.source))
            << "shortcut marks differ for " << where;
    }
}

TEST(EnglishCatalogue, EveryJapaneseTextInTheCodeGoesThroughTheCatalogue) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList sources;
    for (const Entry& e : updatedCatalogue(dir))
        sources << e.source;
    int checked = 0;
    for (const QString& folder : QStringLiteral(ORBET_TRANSLATED_FOLDERS).split(u'|')) {
        QDirIterator it(QStringLiteral(ORBET_SOURCE_DIR "/") + folder,
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            for (const Literal& l : japaneseLiterals(QString::fromUtf8(file.readAll()))) {
                ++checked;
                const bool translated = std::any_of(sources.begin(), sources.end(),
                                                    [&](const QString& s) { return s.contains(l.text); });
                EXPECT_TRUE(translated) << path.toStdString() << ":" << l.line << ": \""
                                        << l.text.toStdString() << "\" is shown untranslated";
            }
        }
    }
    EXPECT_GT(checked, 300);
}

TEST(EnglishCatalogue, TheScannerFindsTextsAndSkipsComments) {
    const QString code = QStringLiteral("// \"コメント\"\n"
                                        "/* \"ブロック\" */ f(\"本文\\r\\n\");\n"
                                        "g('\"'); h(\"x\\\"表\");\n"
                                        "k(\"フォント\");  // untranslated: a font\n");
    const std::vector<Literal> found = japaneseLiterals(code);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].text, QStringLiteral("本文\r\n"));
    EXPECT_EQ(found[0].line, 2);
    EXPECT_EQ(found[1].text, QStringLiteral("x\"表"));
    EXPECT_EQ(found[1].line, 3);
}

} // namespace
