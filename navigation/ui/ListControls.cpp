#include "navigation/ui/ListControls.h"

#include <algorithm>

#include <QDir>
#include <QKeyEvent>

#include "navigation/FolderProbe.h"
#include "navigation/FolderSnapshot.h"
#include "platform/NativePath.h"
#include "platform/Volumes.h"

namespace orbet {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Every row is one line of the same font: the view lays out a folder of
    // thousands of files from one row's size instead of measuring each.
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemClicked, this, [this] { emit listClicked(); });
}

void FileListBox::keyPressEvent(QKeyEvent* event) {
    emit keyDown(event->key());
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && currentRow() >= 0) emit keyboardClicked();
}

void FileListBox::focusInEvent(QFocusEvent* event) {
    QListWidget::focusInEvent(event);
    emit gotFocus();
}

void FileListBox::setPath(const QString& folder) {
    path_ = folder;
    const bool sameFolder = snapshot_ && snapshot_->folder == QDir::cleanPath(folder);
    reload(sameFolder ? FolderReuse::Unchanged : FolderReuse::JustLearnt);
}

void FileListBox::setPattern(const QString& pattern) {
    pattern_ = pattern;
    reload(FolderReuse::Unchanged);
}

void FileListBox::setAttributes(const AttributeFilter& attributes) {
    attributes_ = attributes;
    reload(FolderReuse::Unchanged);
}

void FileListBox::refresh() { reload(FolderReuse::Never); }

void FileListBox::reload(FolderReuse reuse) {
    // Listing the same folder again keeps the selected name where it still exists.
    const QString selected = listedFolder_ == path_ ? fileName() : QString();
    const QSignalBlocker block(this);
    clear();
    snapshot_ = path_.isEmpty() ? nullptr : readFolder(path_, reuse);
    int row = -1;
    if (snapshot_) {
        // The item shows the readable name and keeps the one that reaches the file.
        for (const QString& name : listFiles(*snapshot_, pattern_, attributes_)) {
            auto* item = new QListWidgetItem(displayName(name), this);
            item->setData(Qt::UserRole, name);
            if (row < 0 && !selected.isEmpty() && name == selected) row = count() - 1;
        }
    }
    listedFolder_ = path_;
    setCurrentRow(row);
}

void FileListBox::setListIndex(int index) {
    if (index < -1 || index >= count()) return;
    setCurrentRow(index);
    if (index >= 0) emit listClicked();
}

QString FileListBox::entry(int index) const {
    const QListWidgetItem* it = item(index);
    return it ? it->data(Qt::UserRole).toString() : QString();
}

FolderListBox::FolderListBox(QWidget* parent) : QWidget(parent) { path_ = QDir::currentPath(); }

bool FolderListBox::setPath(const QString& folder) {
    if (!pathFacts(folder).isDir) return false;
    const QString cleaned = absoluteCleanPath(folder);
    // Entering a folder reads it (unless this event just did); the file
    // list usually asks for the same folder next.
    const bool sameFolder = snapshot_ && snapshot_->folder == cleaned;
    path_ = cleaned;
    snapshot_ = readFolder(path_, sameFolder ? FolderReuse::Unchanged : FolderReuse::JustLearnt);
    subfolders_ = subfolderPaths(path_);
    return true;
}

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {}

void DriveListBox::refill() {
    clear();
    for (const Volume& v : volumes()) addItem(volumeEntry(v), v.root);
}

}  // namespace orbet
