#include "app/ui/ShowDispatch.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextEdit>
#include <QTimer>

#include "app/core/ShowController.h"
#include "app/ui/MainParts.h"
#include "app/ui/Navigator.h"
#include "app/ui/Panes.h"
#include "display/DecodedPicture.h"
#include "display/FileKinds.h"
#include "display/ReadLimits.h"
#include "display/ui/MediaControl.h"
#include "display/ui/PictureBox.h"
#include "navigation/FileListing.h"
#include "navigation/ui/ListControls.h"
#include "platform/NativePath.h"
#include "platform/ProgramFolders.h"
#include "platform/Prompter.h"
#include "platform/Shell.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(ShowDispatch)
};
} // namespace

namespace {

// The busy pointer for the length of one show, whatever way it ends.
class BusyPointer {
  public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
};

} // namespace

ShowDispatch::ShowDispatch(MainParts& form, ShowController& shows) : f_(form), shows_(shows) {}

QString ShowDispatch::selectedPath() const {
    return folders::join(f_.File1->path(), f_.File1->fileName());
}

void ShowDispatch::setObjectStatus() {
    f_.state().currentFilePath = selectedPath();
    f_.setStatusText(f_.navigator().objectsText(f_.state().currentFilePath));
}

bool ShowDispatch::takeSelection() {
    ProgramState& s = f_.state();
    if (s.listClickSuppressed) return false;
    s.currentFilePath = selectedPath();
    const PathFacts info = pathFacts(s.currentFilePath);
    if (info.exists && f_.File1->listIndex() != -1) {
        f_.Bytes->setText(BytesSizeText(info.size));
        f_.setStatusText(f_.navigator().filesText());
    }
    return true;
}

void ShowDispatch::File1_Click() {
    if (takeSelection()) ShowFile(f_.state().currentFilePath);
}

void ShowDispatch::requestShow() {
    if (showPending_) return;
    showPending_ = true;
    QTimer::singleShot(0, &f_.window(), [this] {
        showPending_ = false;
        ShowFile(f_.state().currentFilePath);
    });
}

void ShowDispatch::File1_KeyboardClick() {
    if (takeSelection()) requestShow();
}

void ShowDispatch::File1_GotFocus() {
    setObjectStatus();
}

void ShowDispatch::File1_KeyDown(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Up && key != Qt::Key_Down) return;
    setObjectStatus();
    // The web, media and program filters never act on a key.
    const int n = f_.Combo1->currentIndex();
    if (n < 9 || n > 13) requestShow();
}

void ShowDispatch::ShowFile(const QString& path) {
    ProgramState& s = f_.state();
    if (!s.showEnabled) return;
    Panes& panes = f_.panes();
    // Clearing the panes begins the show's request: what an older show
    // still has under way never reaches a pane.
    panes.clearAll();
    BusyPointer busy;
    const int n = f_.Combo1->currentIndex();
    auto picture = [&](bool builtInOnly) {
        if (pictureTooLarge(path)) {
            f_.prompter().message(
                Texts::tr("画像が大きすぎるため表示できません (%1)").arg(BytesSizeText(pathFacts(path).size)),
                s.title, Buttons::Ok, Icon::Warning);
        } else if (builtInOnly || IsBuiltInPictureName(path)) {
            panes.loadPicture(path);
        } else if (decodeWithPlugins && pathFacts(path).isRegular) {
            QFuture<QImage> decoding = decodeWithPlugins(path);
            shows_.stopWhenOvertaken(decoding);
            shows_.whenReady<QImage>(decoding, [this, path](QImage decoded) {
                // Turned and converted as the built-in loader's pictures are.
                f_.MP->setPicture(shownPicture(std::move(decoded), path));
                f_.MP->move(0, 0);
                f_.layoutDisplay();
            });
        }
        f_.MP->move(0, 0);
    };
    auto text = [&] {
        panes.loadText(path, IsRichTextName(path));
        if (panes.textCut()) f_.prompter().message(textCutMessage(), s.title, Buttons::Ok, Icon::Information);
    };
    switch (RouteForEntry(n, f_.Combo1->currentText(), f_.userFilters())) {
    case ShowRoute::PictureAuto:
        picture(false);
        break;
    case ShowRoute::PictureBuiltIn:
        if (n >= kBuiltInFilterCount) f_.MP->show();
        picture(true);
        break;
    case ShowRoute::Text:
        if (n < kBuiltInFilterCount) f_.RT->clear();
        text();
        break;
    case ShowRoute::Web:
        panes.navigateWeb(path);
        break;
    case ShowRoute::Media:
        mediaOpenSequence(path);
        break;
    case ShowRoute::Program: {
        if (!pathFacts(path).isFile || nativeFileName(path).startsWith(u'.') || path.endsWith(u'/')) break;
        const Answer a = f_.prompter().message(displayName(path) + Texts::tr("を実行しますか？"), s.title,
                                               Buttons::YesNo, Icon::Question);
        if (a == Answer::Yes) openWithDesktop(path);
        break;
    }
    case ShowRoute::AnyFile: {
        const qint64 size = pathFacts(path).size;
        if (size > 102400) {
            const Answer a =
                f_.prompter().message(Texts::tr("ファイルサイズが大きい場合があるので読み込みに時間がかかる場"
                                                "合があります。読み込みますか？(%1)")
                                          .arg(BytesSizeText(size)),
                                      s.title, Buttons::YesNo, Icon::Question);
            if (a != Answer::Yes) break;
        }
        f_.RT->clear();
        text();
        break;
    }
    case ShowRoute::None:
        break;
    }
    f_.YS->setValue(0);
    f_.TS->setValue(0);
    f_.window().setWindowTitle(s.title + QStringLiteral(" - ") + displayName(f_.Dir1->path()));
    f_.setInfo(Texts::tr("探査対象") + f_.Combo1->currentText() + QStringLiteral("\r\n") + f_.statusText());
    f_.layoutDisplay();
}

void ShowDispatch::mediaOpenSequence(const QString& path) {
    f_.Check1->setChecked(false);
    // The sequence lets the events already waiting run before the media
    // opens and again before the repeat mark is set; each part is a step of
    // the show's request, which a newer show drops.
    shows_.afterPendingEvents([this, path] {
        MediaControl& mmc = *f_.MMC;
        mmc.command(QStringLiteral("stop"));
        mmc.command(QStringLiteral("close"));
        mmc.setFileName(path);
        mmc.command(QStringLiteral("open"));
        // A video's surface comes with the first file opened: it goes into
        // the display area as the show's layout placed the rest.
        f_.layoutDisplay();
        f_.OPM->setText(displayName(path));
        mmc.command(QStringLiteral("stop"));
        f_.Command4->setEnabled(true);
        f_.Command5->setEnabled(true);
        f_.NoeP->setText(Texts::tr("停止"));
        f_.Check1->setEnabled(true);
        if (f_.isChecked(Command::SetAuD)) {
            mmc.command(QStringLiteral("play"));
            f_.NoeP->setText(Texts::tr("再生"));
        }
        shows_.afterPendingEvents([this] {
            if (f_.isChecked(Command::SetAuRepD)) f_.Check1->setChecked(true);
        });
    });
}

} // namespace orbet
