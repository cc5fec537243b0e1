#include "options/ui/FolderBrowser.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>

#include "navigation/FolderProbe.h"
#include "options/PluginFolder.h"

namespace orbet {

FolderBrowser::FolderBrowser(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemDoubleClicked, this, &FolderBrowser::enter);
}

bool FolderBrowser::list(const QString& folder) {
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir() || probeFolder(info.absoluteFilePath()) != FolderStatus::Ok)
        return false;
    path_ = QDir::cleanPath(info.absoluteFilePath());
    clear();
    for (const FolderLine& line : folderLines(path_, subfolderPaths(path_))) {
        auto* item = new QListWidgetItem(QString(line.depth * 2, u' ') + line.text, this);
        item->setData(Qt::UserRole, line.path);
        if (line.current) setCurrentItem(item);
    }
    return true;
}

bool FolderBrowser::placeAt(const QString& folder) {
    return list(folder);
}

bool FolderBrowser::setPath(const QString& folder) {
    if (!list(folder)) return false;
    emit changed();
    return true;
}

void FolderBrowser::enter(QListWidgetItem* item) {
    if (item) setPath(item->data(Qt::UserRole).toString());
}

void FolderBrowser::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        enter(currentItem());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace orbet
