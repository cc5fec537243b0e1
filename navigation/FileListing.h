#pragma once

#include <cstddef>

#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace orbet {

// What the file list lets through besides the pattern. Hidden means a name
// beginning with "."; archive and system files do not exist on this
// platform, so those switches change nothing here, but they are kept so
// list and menu stay in step.
struct AttributeFilter {
    bool archive = true;
    bool hidden = false;
    bool system = false;
    bool readOnly = true; // files the user cannot write are listed
};

// Pattern of a built-in filter (0 to 14); index 0 gets the plug-in suffix.
QString builtInFilterPattern(int index, const QString& pluginSuffix = {});

// Wildcard masks separated by ";", matched ignoring case; "*.*" matches
// every name, with or without a dot, and "*." the names without one.
class FilePattern {
  public:
    explicit FilePattern(const QString& pattern);
    bool matches(const QString& fileName) const;
    // The same test on a name as the disk spells it; names of plain ASCII
    // against "*.ext" masks are tested without decoding them.
    bool matches(const char* name, std::size_t length) const;

  private:
    QStringList suffixes_;            // "*.ext" masks, the common case, compared without a regex
    QList<QByteArray> asciiSuffixes_; // the same, lower-cased, when every mask is ASCII
    bool asciiOnly_ = true;
    QList<class QRegularExpression> others_;
    bool all_ = false;
    bool noExtension_ = false;
};

// Names of the regular files (and links to them; no folders, pipes, sockets
// or devices) of a folder that pass pattern and attributes, sorted ascending
// ignoring case, as the file list shows them.
QStringList listFiles(const QString& folder, const QString& pattern, const AttributeFilter& attributes);
// The same from a reading already made.
QStringList listFiles(const struct FolderSnapshot& snapshot, const QString& pattern,
                      const AttributeFilter& attributes);

// Size text of the size label: units switch at 1024 and 1024000 bytes,
// two decimals rounded half up, no leading blank: "1.5MB", "2KB", "700ﾊﾞｲﾄ".
QString BytesSizeText(qint64 bytes);

// Size text of the information dialogs and the restored file: units switch
// above 1000, 1000000 and 1000000000, two decimals truncated, one leading
// blank: " 1.5KB", " 1000byte", " 0.93GB".
QString FSize(qint64 bytes);
// The same for a count of thousands of bytes, one unit up: " 2.5MB", " 12KB".
QString FSize2(qint64 kilobytes);

} // namespace orbet
