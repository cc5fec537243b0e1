#include "app/ui/ExternalPrograms.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "app/core/StartupRules.h"
#include "app/ui/MainParts.h"
#include "app/ui/ProgramIcon.h"
#include "display/PictureLoader.h"
#include "display/ReadLimits.h"
#include "platform/Language.h"
#include "platform/NativePath.h"
#include "platform/ProgramFolders.h"
#include "platform/Prompter.h"
#include "platform/Shell.h"
#include "platform/Twips.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(ExternalPrograms)
};
} // namespace

namespace {

QString besideProgram(const QString& relative) {
    return folders::join(folders::programFolder(), relative);
}

} // namespace

VrForm::VrForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("VrForm"));
    setWindowTitle(Texts::tr("ヴァージョン情報"));
    background_ = QPixmap::fromImage(loadProgramPicture(besideProgram(QStringLiteral("pd1/ti.tex"))));
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(programIcon().pixmap(64, 64));
    Label2 = new QLabel(QStringLiteral("Kestrel"), this);
    Label3 = new QLabel(QStringLiteral("Orbet Version") + versionNumber(), this);
    Label4 = new QLabel(Texts::tr("© 2026 The Orbet developers\nMIT ライセンスで配布しています"), this);
    Label5 = new QLabel(Texts::tr("ゼファンプロジェクト"), this);
    // The picture keeps the top of the window to itself; the texts stand on
    // a plain band below it, where every line is whole and readable.
    const QSize picture = background_.isNull() ? QSize(400, 240) : background_.size();
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(12, picture.height() + 8, 12, 12);
    column->addWidget(Image1);
    for (const auto& [label, name] : {std::pair{Label2, "Label2"}, std::pair{Label3, "Label3"},
                                      std::pair{Label4, "Label4"}, std::pair{Label5, "Label5"}}) {
        label->setObjectName(QString::fromLatin1(name));
        label->setStyleSheet(QStringLiteral("color: white; font-weight: bold;"));
        column->addWidget(label);
    }
    for (QLabel* w : {Image1, Label2, Label3, Label4, Label5})
        w->installEventFilter(this);
    setFixedSize(sizeHint().expandedTo(QSize(picture.width(), 0)));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize s = screen->size();
        move(twips::toPixels(double(centredStart(twips::fromPixels(s.width()), twips::fromPixels(width())))),
             twips::toPixels(
                 double(centredStart(twips::fromPixels(s.height()), twips::fromPixels(height())))));
    }
}

void VrForm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(30, 60, 140));
    if (!background_.isNull()) p.drawPixmap((width() - background_.width()) / 2, 0, background_);
}

void VrForm::mouseReleaseEvent(QMouseEvent*) {
    accept();
}

bool VrForm::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) accept();
    return false;
}

void HexwellterOpen(MainParts& f) {
    const PathFacts current = pathFacts(f.state().currentFilePath);
    if (!current.exists || current.isDir) {
        f.prompter().message(Texts::tr("ファイルが指定されていません"), f.state().title, Buttons::Ok);
        return;
    }
    startProgram(besideProgram(QStringLiteral("pd1/KTX_Hexwell.exe")), {f.state().currentFilePath},
                 f.prompter(), f.state().title);
}

void Pic1(MainParts& f) {
    startProgram(besideProgram(QStringLiteral("pd1/pic1.exe")), {}, f.prompter(), f.state().title);
}

// The shell's open fails quietly when the file is not there.
void openQuietly(const QString& path) {
    if (QFileInfo::exists(path)) openWithDesktop(path);
}

void HLPPic(MainParts&) {
    openQuietly(besideProgram(QStringLiteral("qvpic.hlp")));
}

void HLP(MainParts&) {
    openQuietly(besideProgram(QStringLiteral("ゼファンユキ広場.url"))); // untranslated: a file name
}

void OPRT(MainParts& f) {
    f.prompter().message(QStringLiteral("File Not Find"), f.state().title, Buttons::Ok);
}

void ver(MainParts& f) {
    QApplication::beep();
    VrForm about(&f.window());
    about.exec();
}

QString helpFile() {
    return besideProgram(englishInForce() ? QStringLiteral("texthelp_en.txt")
                                          : QStringLiteral("texthelp.txt"));
}

bool opensInAWindow(const QByteArray& desktopEntry) {
    bool inEntry = false, runs = false;
    for (const QByteArray& raw : desktopEntry.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntry) continue;
        if (line.startsWith("Terminal=") && line.mid(9).trimmed() == "true") return false;
        if (line.startsWith("Exec=") && !line.mid(5).trimmed().isEmpty()) runs = true;
    }
    return runs;
}

bool desktopShowsText() {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/plain")});
    if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return false;
    const QString entry = QString::fromUtf8(query.readAllStandardOutput()).trimmed();
    if (entry.isEmpty() || entry.contains(u'/')) return false;
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        const auto text = readBoundedText(folders::join(folder, entry), 64 * 1024);
        if (text) return opensInAWindow(text->bytes);
    }
    return false;
}

void showHelp(MainParts& f) {
    const QString help = helpFile();
    if (!QFileInfo::exists(help)) {
        f.prompter().message(help + Texts::tr(" が見つかりません。"), f.state().title, Buttons::Ok,
                             Icon::Warning);
        return;
    }
    if (desktopShowsText() && openWithDesktop(help)) return;
    auto* window = f.window().findChild<QDialog*>(QStringLiteral("HelpWindow"));
    if (!window) {
        window = new QDialog(&f.window());
        window->setObjectName(QStringLiteral("HelpWindow"));
        window->setWindowTitle(Texts::tr("ヘルプ"));
        window->setAttribute(Qt::WA_DeleteOnClose);
        auto* text = new QPlainTextEdit(window);
        text->setObjectName(QStringLiteral("HelpText"));
        text->setReadOnly(true);
        text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        text->setPlainText(
            QString::fromUtf8(readBoundedText(help, 1024 * 1024).value_or(BoundedText{}).bytes));
        auto* column = new QVBoxLayout(window);
        column->setContentsMargins(0, 0, 0, 0);
        column->addWidget(text);
        window->resize(text->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 84, 560);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace orbet
