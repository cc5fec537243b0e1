#include "platform/Shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QStringDecoder>

#include "platform/NativePath.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Shell)
};
} // namespace

namespace {

DesktopOpener& opener() {
    static DesktopOpener current;
    return current;
}

bool openUrl(const QUrl& url) {
    if (opener()) return opener()(url);
    return QDesktopServices::openUrl(url);
}

} // namespace

void setDesktopOpener(DesktopOpener replacement) {
    opener() = std::move(replacement);
}

bool openWithDesktop(const QString& path) {
    return openUrl(nativeFileUrl(path));
}

bool openFolderWithDesktop(const QString& folder) {
    return openUrl(nativeFileUrl(folder.isEmpty() ? QDir::homePath() : folder));
}

bool openNativePathWithDesktop(const QByteArray& path) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(path);
    if (!utf8.hasError()) return openUrl(QUrl::fromLocalFile(text));
    return openUrl(QUrl::fromEncoded("file://" + path.toPercentEncoding("/")));
}

bool startProgram(const QString& program, const QStringList& args, Prompter& prompter, const QString& title) {
    if (!program.isEmpty() && QProcess::startDetached(program, args)) return true;
    prompter.message(program + Texts::tr(" が見つかりません。"), title, Buttons::Ok, Icon::Critical);
    return false;
}

} // namespace orbet
