#include "navigation/ui/ListControls.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>

#include "navigation/FileListModel.h"
#include "navigation/FolderProbe.h"
#include "navigation/FolderSnapshot.h"
#include "platform/NativePath.h"
#include "platform/Volumes.h"

namespace orbet {

namespace {

// A folder with more entries than this is filtered and sorted on the
// worker; smaller ones take less than a frame and are listed at once.
constexpr std::size_t kListOnWorker = 8192;
// More rows than this are laid out by the view a slice per turn.
constexpr int kRowsAtOnce = 100000;

// One listing at a time: a newer one makes the older one's result useless.
QThreadPool& listingPool() {
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool(QCoreApplication::instance());
        p->setMaxThreadCount(1);
        return p;
    }();
    return *pool;
}

bool sameAttributes(const AttributeFilter& a, const AttributeFilter& b) {
    return a.archive == b.archive && a.hidden == b.hidden && a.system == b.system && a.readOnly == b.readOnly;
}

bool sameListing(const FileRows& a, const std::shared_ptr<const FolderSnapshot>& snapshot,
                 const QString& pattern, const AttributeFilter& attributes) {
    return a.snapshot == snapshot && a.pattern == pattern && sameAttributes(a.attributes, attributes);
}

} // namespace

FileListBox::FileListBox(QWidget* parent) : QListView(parent), model_(new FileListModel(this)) {
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Every row is one line of the same font: the view lays out a folder of
    // thousands of files from one row's size instead of measuring each.
    setUniformItemSizes(true);
    setBatchSize(20000);
    connect(this, &QListView::clicked, this, [this] { emit listClicked(); });
}

FileListBox::~FileListBox() = default;

void FileListBox::keyPressEvent(QKeyEvent* event) {
    emit keyDown(event->key());
    const int before = listIndex();
    QListView::keyPressEvent(event);
    if (listIndex() != before && listIndex() >= 0) emit keyboardClicked();
}

void FileListBox::focusInEvent(QFocusEvent* event) {
    QListView::focusInEvent(event);
    emit gotFocus();
}

void FileListBox::setPath(const QString& folder) {
    path_ = folder;
    const QString shown = pending_                  ? pendingFolder_
                          : model_->rows().snapshot ? model_->rows().snapshot->folder
                                                    : QString();
    reload(shown == QDir::cleanPath(folder) ? FolderReuse::Unchanged : FolderReuse::JustLearnt);
}

void FileListBox::setPattern(const QString& pattern) {
    pattern_ = pattern;
    reload(FolderReuse::Unchanged);
}

void FileListBox::setAttributes(const AttributeFilter& attributes) {
    attributes_ = attributes;
    reload(FolderReuse::Unchanged);
}

void FileListBox::refresh() {
    reload(FolderReuse::Never);
}

void FileListBox::reload(FolderReuse reuse) {
    const QString folder = QDir::cleanPath(path_);
    // A folder of a million entries is read on the worker as well, unless a
    // reading of it still holds.
    const bool large = !path_.isEmpty() && isLargeFolder(folder);
    std::shared_ptr<const FolderSnapshot> snapshot;
    if (!path_.isEmpty())
        snapshot = !large                        ? readFolder(path_, reuse)
                   : reuse == FolderReuse::Never ? nullptr
                                                 : storedFolder(folder);
    if (snapshot && sameListing(pending_ ? *pending_ : model_->rows(), snapshot, pattern_, attributes_))
        return;
    // The same reading still being made for the same listing.
    if (!snapshot && large && reuse != FolderReuse::Never && pending_ && !pending_->snapshot &&
        pendingFolder_ == folder && pending_->pattern == pattern_ &&
        sameAttributes(pending_->attributes, attributes_))
        return;
    FileRows target{snapshot, {}, pattern_, attributes_};
    const std::uint64_t generation = ++generation_;
    if (!large && (!snapshot || snapshot->entries.size() <= kListOnWorker)) {
        if (snapshot) target.order = listRows(*snapshot, pattern_, attributes_);
        handOver(std::move(target));
        return;
    }
    // A new folder shows no rows meanwhile: rows of the last one would name
    // files this folder does not hold.
    const FileRows& shown = model_->rows();
    if (!shown.snapshot || shown.snapshot->folder != folder) {
        const QSignalBlocker block(this);
        model_->reset({});
    }
    pending_ = std::make_unique<FileRows>(target);
    pendingFolder_ = folder;
    listingPool().start([target = std::move(target), folder, reuse, generation,
                         guard = QPointer<FileListBox>(this)]() mutable {
        if (!target.snapshot) target.snapshot = readFolder(folder, reuse);
        if (target.snapshot) target.order = listRows(*target.snapshot, target.pattern, target.attributes);
        QCoreApplication* app = QCoreApplication::instance();
        if (!app) return;
        QMetaObject::invokeMethod(
            app,
            [target = std::move(target), generation, guard]() mutable {
                if (guard && guard->generation_ == generation) guard->handOver(std::move(target));
            },
            Qt::QueuedConnection);
    });
}

void FileListBox::finishListing() {
    if (!pending_) return;
    FileRows target = *pending_;
    ++generation_;
    if (!target.snapshot) target.snapshot = readFolder(pendingFolder_, FolderReuse::Unchanged);
    if (target.snapshot) target.order = listRows(*target.snapshot, target.pattern, target.attributes);
    handOver(std::move(target));
}

void FileListBox::handOver(FileRows rows) {
    pending_.reset();
    const FileRows& shown = model_->rows();
    const bool sameFolder =
        shown.snapshot && rows.snapshot && shown.snapshot->folder == rows.snapshot->folder;
    // Listing the same folder again keeps the selected name where it still exists.
    const QString selected = sameFolder ? fileName() : QString();
    {
        const QSignalBlocker block(this);
        if (sameFolder)
            model_->update(std::move(rows));
        else
            model_->reset(std::move(rows));
        // The view lays every row out in one go unless told otherwise, a
        // tenth of a second for a million rows; in slices the window answers.
        const bool batched = listCount() > kRowsAtOnce;
        if (batched != (layoutMode() == QListView::Batched))
            setLayoutMode(batched ? QListView::Batched : QListView::SinglePass);
        if (fileName() != selected || selected.isEmpty())
            setCurrentRow(selected.isEmpty() ? -1 : rowOf(selected));
    }
    std::vector<std::pair<QString, std::function<void()>>> waiting;
    waiting.swap(waiting_);
    for (auto& [folder, then] : waiting)
        if (folder == path_ && !pending_) then();
    emit listed();
}

void FileListBox::whenListed(std::function<void()> then) {
    if (!pending_) return then();
    waiting_.emplace_back(path_, std::move(then));
}

bool FileListBox::wouldList(const QString& name) const {
    const FileRows& shown = pending_ ? *pending_ : model_->rows();
    if (shown.snapshot)
        return orbet::wouldList(*shown.snapshot, toNative(name).constData(), pattern_, attributes_);
    // The folder is still being read: the file itself answers.
    return !path_.isEmpty() && orbet::wouldList(path_, toNative(name).constData(), pattern_, attributes_);
}

int FileListBox::listCount() const {
    return model_->rowCount();
}

void FileListBox::setCurrentRow(int row) {
    selectionModel()->setCurrentIndex(model_->index(row, 0), QItemSelectionModel::ClearAndSelect);
    if (layoutMode() == QListView::Batched) keepCurrentInView();
}

void FileListBox::keepCurrentInView() {
    // A row the sliced layout has not reached yet has no place to scroll to;
    // the view is brought to it once it has.
    const QModelIndex current = currentIndex();
    if (!current.isValid() || following_) return;
    if (!visualRect(current).isEmpty()) return scrollTo(current);
    following_ = true;
    QTimer::singleShot(20, this, [this] {
        following_ = false;
        keepCurrentInView();
    });
}

void FileListBox::setListIndex(int index) {
    if (index < -1 || index >= listCount()) return;
    setCurrentRow(index);
    if (index >= 0) emit listClicked();
}

void FileListBox::selectQuietly(int index) {
    if (index < -1 || index >= listCount()) return;
    setCurrentRow(index);
}

QString FileListBox::entry(int index) const {
    return model_->name(index);
}

QString FileListBox::entryText(int index) const {
    return model_->index(index, 0).data().toString();
}

int FileListBox::rowOf(const QString& name) const {
    if (name.isEmpty()) return -1;
    const QByteArray raw = toNative(name);
    const FileRows& rows = model_->rows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (raw == rows.rawName(i)) return int(i);
    return -1;
}

FolderListBox::FolderListBox(QWidget* parent) : QWidget(parent) {
    path_ = QDir::currentPath();
}

bool FolderListBox::setPath(const QString& folder) {
    if (!pathFacts(folder).isDir) return false;
    const QString cleaned = absoluteCleanPath(folder);
    // Entering a folder reads it (unless this event just did); the file
    // list usually asks for the same folder next.
    const bool sameFolder = snapshot_ && snapshot_->folder == cleaned;
    path_ = cleaned;
    // A folder of a million entries is left to the file list's worker; its
    // subfolders are learnt from that reading once it is made.
    snapshot_ = isLargeFolder(path_)
                    ? storedFolder(path_)
                    : readFolder(path_, sameFolder ? FolderReuse::Unchanged : FolderReuse::JustLearnt);
    complete_ = snapshot_ != nullptr || !isLargeFolder(path_);
    subfolders_ = complete_ ? subfolderPaths(path_) : QStringList();
    return true;
}

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {}

void DriveListBox::refill() {
    clear();
    for (const Volume& v : volumes())
        addItem(volumeEntry(v), v.root);
}

} // namespace orbet
