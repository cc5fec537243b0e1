#include "navigation/ui/ListControls.h"

#include <algorithm>

#include <QDir>
#include <QKeyEvent>

#include "navigation/FolderProbe.h"
#include "platform/NativePath.h"
#include "platform/Volumes.h"

namespace orbet {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
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
    refresh();
}

void FileListBox::setPattern(const QString& pattern) {
    pattern_ = pattern;
    refresh();
}

void FileListBox::setAttributes(const AttributeFilter& attributes) {
    attributes_ = attributes;
    refresh();
}

void FileListBox::refresh() {
    // Re-reading the same folder keeps the selected name where it still exists.
    const QString selected = listedFolder_ == path_ ? fileName() : QString();
    const QSignalBlocker block(this);
    clear();
    int row = -1;
    if (!path_.isEmpty()) {
        // The item shows the readable name and keeps the one that reaches the file.
        for (const QString& name : listFiles(path_, pattern_, attributes_)) {
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
    path_ = absoluteCleanPath(folder);
    subfolders_ = subfolderPaths(path_);
    return true;
}

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {}

void DriveListBox::refill() {
    clear();
    for (const Volume& v : volumes()) addItem(volumeEntry(v), v.root);
}

}  // namespace orbet
