#include "app/ui/Navigator.h"

#include <utility>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTextEdit>
#include <QTreeWidget>

#include "app/ui/MainParts.h"
#include "app/ui/Panes.h"
#include "display/FileKinds.h"
#include "navigation/FileListing.h"
#include "navigation/FolderProbe.h"
#include "navigation/FolderSnapshot.h"
#include "navigation/ui/FolderTree.h"
#include "navigation/ui/ListControls.h"
#include "platform/NativePath.h"
#include "platform/ProgramFolders.h"
#include "platform/Prompter.h"
#include "platform/Volumes.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Navigator)
};
} // namespace

namespace {

DisplayGroup groupFor(ShowRoute route) {
    switch (route) {
    case ShowRoute::PictureAuto:
    case ShowRoute::PictureBuiltIn:
        return DisplayGroup::Picture;
    case ShowRoute::Text:
    case ShowRoute::AnyFile:
        return DisplayGroup::Text;
    case ShowRoute::Web:
        return DisplayGroup::Web;
    case ShowRoute::Media:
        return DisplayGroup::Media;
    case ShowRoute::Program:
    case ShowRoute::None:
        return DisplayGroup::None;
    }
    return DisplayGroup::None;
}

} // namespace

Navigator::Navigator(MainParts& form) : f_(form) {
    FolderTree::Hooks hooks;
    hooks.openFolder = [this](const QString& key) {
        f_.Dir1->setPath(key);
        OpenFolder(f_.Dir1->path());
    };
    hooks.openTreePath = [this](const QString& path) { OpenTreePath(path); };
    hooks.fileListPath = [this] { return f_.File1->path(); };
    hooks.title = [this] { return f_.state().title; };
    hooks.hideDirectory = [this] { return f_.state().hideDirectory; };
    hooks.nodeExpand = [this] { return f_.state().nodeExpand; };
    hooks.nodeClose = [this] { return f_.state().nodeClose; };
    tree_ = std::make_unique<FolderTree>(*f_.TV, f_.prompter(), std::move(hooks));
    QObject::connect(f_.File1, &FileListBox::listed, f_.File1, [this] { listed(); });
}

Navigator::~Navigator() = default;

void Navigator::setFolderProbe(std::function<FolderStatus(const QString&)> probe) {
    tree_->setProbe(std::move(probe));
}

QString Navigator::pluginPatternSuffix() const {
    return f_.plugins().patternSuffix();
}

void Navigator::DriveCheck(const QString& which) {
    f_.Drive1->refill();
    tree_->DriveCheck(which);
}

void Navigator::ReViewS() {
    const QString folder = f_.File1->path();
    DriveCheck(QStringLiteral("ALL"));
    OpenTreePath(folder);
    f_.File1->refresh();
}

QString Navigator::filesText() const {
    return Texts::tr("%1   %2内%3のファイル")
        .arg(displayName(f_.state().currentFilePath), displayName(f_.File1->path()),
             QString::number(f_.File1->listCount()));
}

QString Navigator::objectsText(const QString& prefix) const {
    return Texts::tr("%1   %2内%3のオブジェクト")
        .arg(displayName(prefix), displayName(f_.File1->path()), QString::number(f_.File1->listCount()));
}

void Navigator::setBytesFromCurrentFile() {
    const PathFacts info = pathFacts(f_.state().currentFilePath);
    if (f_.File1->listIndex() >= 0 && info.isFile)
        f_.Bytes->setText(BytesSizeText(info.size));
    else
        f_.Bytes->setText(Texts::tr("0ﾊﾞｲﾄ"));
}

void Navigator::OpenFolder(const QString& path, const QString& keep) {
    f_.Dir1->setPath(path);
    if (openFolderGuard_) return;
    openFolderGuard_ = true;

    f_.panes().clearAll();
    afterListing_ = nullptr;
    f_.File1->setPath(f_.Dir1->path());
    afterListing([this, keep] { chooseFile(keep); });
    if (QAction* makedir = f_.action(Command::makedir))
        makedir->setText(displayName(f_.Dir1->path()) + Texts::tr("に新しいフォルダを作成"));
    fillPathCombo();
    openFolderGuard_ = false;
}

void Navigator::chooseFile(const QString& keep) {
    ProgramState& s = f_.state();
    const int kept = f_.File1->rowOf(keep);
    const int first = kept >= 0 ? kept : 0;
    if (f_.File1->listCount() > 0) {
        f_.File1->setListIndex(first);
    } else {
        f_.setStatusText(objectsText(QStringLiteral("not file find")));
        f_.panes().clearPicture();
        f_.RT->clear();
        s.currentFilePath.clear();
    }
    f_.window().setWindowTitle(s.title + QStringLiteral(" - ") + displayName(f_.Dir1->path()));
    f_.setInfo(Texts::tr("探査対象") + f_.Combo1->currentText() + QStringLiteral("\r\n") + f_.statusText());
    if (f_.File1->listCount() > 0 && f_.File1->listIndex() != first) f_.File1->setListIndex(first);
    setBytesFromCurrentFile();
}

void Navigator::fillPathCombo() {
    const QString p = f_.Dir1->path();
    comboSubfolders_ = f_.Dir1->subfolders();
    f_.Combo2->hide();
    f_.Combo2->clear();
    f_.Combo2->addItem(QStringLiteral(".."));
    // The path combo shows readable paths and keeps the ones that reach the folders.
    for (const QString& folder : QStringList{p} + f_.Dir1->subfolders())
        f_.Combo2->addItem(displayName(folder), folder);
    f_.Combo2->setEditText(displayName(p));
    f_.Combo2->show();
    f_.Combo2->raise();
}

void Navigator::afterListing(std::function<void()> step) {
    if (!f_.File1->isListing()) return step();
    afterListing_ = std::move(step);
}

void Navigator::listed() {
    if (f_.File1->isListing()) return;
    // A large folder's subfolders come with the file list's reading.
    if (!f_.Dir1->complete() && QDir::cleanPath(f_.File1->path()) == f_.Dir1->path() &&
        f_.Dir1->setPath(f_.Dir1->path()) && f_.Dir1->complete() && f_.Dir1->subfolders() != comboSubfolders_)
        fillPathCombo();
    if (!afterListing_) return;
    std::exchange(afterListing_, nullptr)();
}

void Navigator::RereadFolder() {
    // A large folder still being listed is read again once it is.
    if (f_.File1->isListing()) return;
    const QString chosen = f_.File1->listIndex() >= 0 ? f_.File1->fileName() : QString();
    if (chosen.isEmpty() || QDir::cleanPath(f_.File1->path()) != QDir::cleanPath(f_.Dir1->path()))
        return OpenFolder(f_.Dir1->path(), chosen);
    const int count = f_.File1->listCount();
    f_.Dir1->setPath(f_.Dir1->path());
    // The same folder once more: only the rows that changed on disk change,
    // and the file on show stays unless it went.
    f_.File1->setPath(f_.Dir1->path());
    afterListing([this, chosen, count] {
        if (f_.File1->fileName() != chosen) return OpenFolder(f_.Dir1->path(), chosen);
        if (f_.Dir1->subfolders() != comboSubfolders_) fillPathCombo();
        if (f_.File1->listCount() == count) return;
        f_.setStatusText(filesText());
    });
}

void Navigator::OpenTreePath(const QString& path) {
    // Paths typed or stored elsewhere may differ from the disk in letter case only.
    if (path.isEmpty() || resolveIgnoringCase(absoluteCleanPath(path)).isEmpty()) return;
    // The folder the walk leads to is listed right after it: reading it
    // first (and holding the reading) lets the walk's probe of that node and
    // the listing answer from the same reading.
    const QString target = absoluteCleanPath(path);
    const auto reading = isLargeFolder(target) ? nullptr : readFolder(target, FolderReuse::JustLearnt);
    QTreeWidgetItem* node = tree_->walkTo(absoluteCleanPath(path));
    if (!node) return;
    const QString key = FolderTree::keyOf(node);
    f_.Dir1->setPath(key);
    OpenFolder(f_.Dir1->path());
    tree_->setHighlight(nullptr);
    if (QTreeWidgetItem* again = tree_->findKey(key)) {
        tree_->setHighlight(again);
        f_.TV->scrollToItem(again);
    }
}

void Navigator::Combo1_Click(int index) {
    const QString remembered = f_.Dir1->path();
    if (index < 0) {
        f_.prompter().message(Texts::tr("ERROR01\r\nファイルパターンに予期せぬエラーが発生しました\r\n"
                                        "ファイルパターンを初期化します"),
                              f_.state().title, Buttons::Ok);
        f_.Combo1->setCurrentIndex(0);
        return;
    }
    afterListing_ = nullptr;
    if (index < kBuiltInFilterCount)
        f_.File1->setPattern(builtInFilterPattern(index, pluginPatternSuffix()));
    else
        f_.File1->setPattern(f_.userFilters().row(index - kBuiltInFilterCount).patterns.asText());
    f_.Dir1->setPath(remembered);
    SetF();
    setBytesFromCurrentFile();
    if (f_.window().isVisible()) f_.TV->setFocus();
}

void Navigator::SetF() {
    const int index = f_.Combo1->currentIndex();
    f_.panes().arrange(groupFor(RouteForEntry(index, f_.Combo1->currentText(), f_.userFilters())));
    afterListing([this] {
        f_.File1->setListIndex(-1);
        f_.state().currentFilePath = f_.File1->path();
        if (f_.File1->listCount() > 0) f_.File1->setListIndex(0);
        f_.setStatusText(filesText());
    });
}

} // namespace orbet
