#include "app/ui/ExternalPrograms.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include "app/core/StartupRules.h"
#include "app/ui/MainParts.h"
#include "app/ui/ProgramIcon.h"
#include "display/PictureLoader.h"
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
    Label3 = new QLabel(QStringLiteral("Orbet Version1.24"), this);
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
    openQuietly(besideProgram(QStringLiteral("ゼファンユキ広場.url")));
} // untranslated: a file name

void OPRT(MainParts& f) {
    f.prompter().message(QStringLiteral("File Not Find"), f.state().title, Buttons::Ok);
}

void ver(MainParts& f) {
    QApplication::beep();
    VrForm about(&f.window());
    about.exec();
}

} // namespace orbet
