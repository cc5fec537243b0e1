#include "app/core/StartupRules.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "platform/NativePath.h"
#include "platform/Numbers.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(StartupRules)
};
} // namespace

CommandLineTarget resolveCommandLine(const QString& c) {
    CommandLineTarget t;
    if (c.isEmpty()) return t;
    const PathFacts info = pathFacts(c);
    if (!info.exists) return t;
    // A name given from a shell is relative to the folder the program was started in.
    const QString full = absoluteCleanPath(c);
    if (info.isDir) {
        t.kind = CommandLineTarget::Kind::Folder;
        t.folder = full;
        return t;
    }
    const qsizetype slash = full.lastIndexOf(u'/');
    t.kind = CommandLineTarget::Kind::File;
    t.folder = full.left(slash + 1);
    t.fileName = full.mid(slash + 1);
    return t;
}

QString commandLineText(const QStringList& arguments) {
    return arguments.mid(1).join(u' ');
}

CommandLineRequest readCommandLine(const QStringList& arguments) {
    QStringList names;
    bool options = true;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (options && a == QLatin1String("--")) {
            options = false;
        } else if (options && a == QLatin1String("--help")) {
            return {CommandLineRequest::Kind::Help, {}};
        } else if (options && a == QLatin1String("--version")) {
            return {CommandLineRequest::Kind::Version, {}};
        } else if (options && a.startsWith(QLatin1String("--"))) {
            return {CommandLineRequest::Kind::Unknown, a};
        } else {
            names << a;
        }
    }
    return {CommandLineRequest::Kind::Run, names.join(u' ')};
}

QString usageText() {
    return Texts::tr("使い方: orbet [ファイルまたはフォルダ | /T]\n"
                     "\n"
                     "  ファイルまたはフォルダ  そのフォルダを開き、ファイルを表示します\n"
                     "  /T                      通知領域に常駐して起動します\n"
                     "  --help                  この説明を表示して終了します\n"
                     "  --version               バージョンを表示して終了します\n"
                     "  --                      これより後ろは \"--\" で始まっていても名前として扱います\n");
}

QString versionText() {
    return QStringLiteral("Orbet ") + versionNumber() + QLatin1Char('\n');
}

QString versionNumber() {
    return QStringLiteral(ORBET_VERSION);
}

bool isResidentSwitch(const QString& argumentText) {
    return argumentText == QLatin1String("/T");
}

StartRequest readStartRequest(const QString& argumentText) {
    return {resolveCommandLine(argumentText), isResidentSwitch(argumentText)};
}

QString targetFile(const CommandLineTarget& target) {
    if (target.kind != CommandLineTarget::Kind::File) return {};
    return target.folder + target.fileName;
}

std::int64_t centredStart(double screenExtent, double boxExtent) {
    return num::intDiv(screenExtent, 2) - num::intDiv(boxExtent, 2);
}

TwipsRect firstRunWindowRect(const TwipsRect& available) {
    TwipsRect r;
    r.width = std::int32_t(std::int64_t(available.width) * 2 / 3);
    r.height = std::int32_t(std::int64_t(available.height) * 2 / 3);
    r.left = available.left + (available.width - r.width) / 2;
    r.top = available.top + (available.height - r.height) / 2;
    return r;
}

TwipsRect restoredWindowRect(TwipsRect r, int fileListHeight, int screenWidth, int screenHeight) {
    if (r.width < kMinWindowWidth) r.width = kMinWindowWidth;
    if (r.height < fileListHeight + 2700) r.height = fileListHeight + 2700;
    // A window larger than the screen shows nothing more and costs memory in
    // proportion to its area, so a huge size (from the file or from a bar far
    // down) is cut to the screen.
    if (screenWidth > 0 && r.width > screenWidth) r.width = screenWidth;
    if (screenHeight > 0 && r.height > screenHeight) r.height = screenHeight;
    if (r.top > screenHeight || std::int64_t(r.top) + r.height < 0)
        r.top = std::int32_t(centredStart(screenHeight, r.height));
    if (r.left > screenWidth || std::int64_t(r.left) + r.width < 0)
        r.left = std::int32_t(centredStart(screenWidth, r.width));
    return r;
}

} // namespace orbet
