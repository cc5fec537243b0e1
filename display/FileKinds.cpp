#include "display/FileKinds.h"

#include <array>

#include <QCoreApplication>
#include <QStringList>

#include "platform/Numbers.h"
#include "plugins/UserFilterTable.h"

namespace orbet {

namespace {

// Translated when asked for: the list is made before any catalogue is in.
const std::array<const char*, kBuiltInFilterCount> kEntries = {
    QT_TRANSLATE_NOOP("FileKinds", "すべてのピクチャファイル"),
    QT_TRANSLATE_NOOP("FileKinds", "BMPファイル"),
    QT_TRANSLATE_NOOP("FileKinds", "GIFファイル"),
    QT_TRANSLATE_NOOP("FileKinds", "JPG,JPEGファイル"),
    QT_TRANSLATE_NOOP("FileKinds", "ICOファイル"),
    QT_TRANSLATE_NOOP("FileKinds", "WMFファイル"),
    QT_TRANSLATE_NOOP("FileKinds", "テキストファイル"),
    QT_TRANSLATE_NOOP("FileKinds", "リッチテキストファイル"),
    QT_TRANSLATE_NOOP("FileKinds", "TXT,RTF,INI,BATファイル"),
    QT_TRANSLATE_NOOP("FileKinds", "HTML文書"),
    QT_TRANSLATE_NOOP("FileKinds", "オーディオファイル"),
    QT_TRANSLATE_NOOP("FileKinds", "MPEG-Layer-3 ファイル"),
    QT_TRANSLATE_NOOP("FileKinds", "WAV,MIDファイル"),
    QT_TRANSLATE_NOOP("FileKinds", "プログラム,ヘルプ(EXE,COM,SCR,HLP)"),
    QT_TRANSLATE_NOOP("FileKinds", "すべてのファイル "),
};

const ShowRoute kBuiltInRoutes[kBuiltInFilterCount] = {
    ShowRoute::PictureAuto,    ShowRoute::PictureBuiltIn,
    ShowRoute::PictureBuiltIn, ShowRoute::PictureBuiltIn,
    ShowRoute::PictureBuiltIn, ShowRoute::PictureBuiltIn,
    ShowRoute::Text,           ShowRoute::Text,
    ShowRoute::Text,           ShowRoute::Web,
    ShowRoute::Media,          ShowRoute::Media,
    ShowRoute::Media,          ShowRoute::Program,
    ShowRoute::AnyFile,
};

struct ClassKeys {
    ExtensionClass cls;
    QStringList keys;
};

const std::array<ClassKeys, 5>& classTable() {
    static const std::array<ClassKeys, 5> table = {{
        {ExtensionClass::Picture, {".BMP", ".GIF", ".JPG", "JPEG", ".ICO", ".WMF"}},
        {ExtensionClass::WebPage, {".HTM", "HTML", ".HTA"}},
        {ExtensionClass::RichText, {".RTF"}},
        {ExtensionClass::PlainText, {".TXT", ".INI", ".BAT"}},
        {ExtensionClass::Media,
         {".MPA", ".AVI", ".MPG", ".WAV", ".MID", ".MP3", ".WMA", ".WAX", ".WMV", ".WMX", "MPEG", ".MPE",
          ".M1V", ".MP2", "MPV2", "MP2V", ".RIM", ".AIF", "AIFF"}},
    }};
    return table;
}

} // namespace

QString builtInFilterText(int index) {
    return QCoreApplication::translate("FileKinds", kEntries.at(std::size_t(index)));
}

ExtensionClass ClassifyExtension(const QString& path) {
    const QString key = path.right(4).toUpper();
    for (const ClassKeys& c : classTable())
        if (c.keys.contains(key)) return c.cls;
    return ExtensionClass::Other;
}

int FilterEntryForClass(ExtensionClass cls) {
    switch (cls) {
    case ExtensionClass::Picture:
        return kPictureFilter;
    case ExtensionClass::WebPage:
        return kWebFilter;
    case ExtensionClass::RichText:
    case ExtensionClass::PlainText:
        return kTextFilter;
    case ExtensionClass::Media:
        return kMediaFilter;
    case ExtensionClass::Other:
        return kProgramFilter;
    }
    return kProgramFilter;
}

ShowRoute RouteForEntry(int index, const QString& entryText, const UserFilterTable& filters) {
    if (index < 0) return ShowRoute::None;
    if (index <= 13) return kBuiltInRoutes[index];
    if (entryText == builtInFilterText(14)) return ShowRoute::AnyFile;
    const int row = index - kBuiltInFilterCount;
    if (row < 0 || row >= UserFilterTable::Rows) return ShowRoute::None;
    // The method may be stored as a number or as its text; both read the same.
    const double method = num::val(filters.row(row).method.asText());
    if (method == 0.0) return ShowRoute::PictureBuiltIn;
    if (method == 1.0) return ShowRoute::Text;
    if (method == 2.0) return ShowRoute::Web;
    if (method == 3.0) return ShowRoute::Media;
    return ShowRoute::None;
}

bool IsBuiltInPictureName(const QString& path) {
    static const QString kPattern = QStringLiteral("*.bmp;*.gif;*.jpg;*.jpeg;*.ico;*.wmf");
    // Letter case is ignored: a camera's DSC0001.JPG is a built-in picture.
    return kPattern.contains(path.right(3), Qt::CaseInsensitive);
}

bool IsRichTextName(const QString& path) {
    const QString tail = path.right(4);
    return tail == QLatin1String(".rtf") || tail == QLatin1String(".RTF");
}

} // namespace orbet
