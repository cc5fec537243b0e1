#pragma once

#include <memory>

#include <QComboBox>
#include <QListWidget>
#include <QWidget>

#include "navigation/FileListing.h"

namespace orbet {

struct FolderSnapshot;
enum class FolderReuse;

// The file list: the files of one folder that pass a pattern and the
// attribute switches. The folder is read once per visit: a new folder is
// read (unless the same event just read it), the same folder again, a
// pattern or an attribute switch filter what was read, unless the folder
// changed on disk since; refresh() always reads afresh.
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    QString path() const { return path_; }
    void setPath(const QString& folder);
    QString pattern() const { return pattern_; }
    void setPattern(const QString& pattern);
    AttributeFilter attributes() const { return attributes_; }
    void setAttributes(const AttributeFilter& attributes);
    // Re-reads the folder from disk. The selection survives a re-read of the
    // same folder when its file is still listed; it is never raised as a click.
    void refresh();

    int listCount() const { return count(); }
    int listIndex() const { return currentRow(); }
    // Selecting from code raises the same click the user's selection does.
    void setListIndex(int index);
    QString entry(int index) const;
    QString fileName() const { return entry(listIndex()); }

signals:
    // A selection made by a mouse click or from code.
    void listClicked();
    // A selection the keyboard moved.
    void keyboardClicked();
    // Before the list handles a key, so the old selection is still current.
    void keyDown(int key);
    void gotFocus();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void reload(FolderReuse reuse);

    QString path_;
    QString listedFolder_;
    std::shared_ptr<const FolderSnapshot> snapshot_;
    QString pattern_ = QStringLiteral("*.*");
    AttributeFilter attributes_;
};

// The hidden folder list that holds the current folder and knows its
// visible subfolders. It never shows, so it keeps no list items.
class FolderListBox : public QWidget {
    Q_OBJECT
public:
    explicit FolderListBox(QWidget* parent = nullptr);
    QString path() const { return path_; }
    // Lists the subfolders of the folder; a folder that cannot be read
    // keeps the previous path.
    bool setPath(const QString& folder);
    QStringList subfolders() const { return subfolders_; }

private:
    QString path_;
    QStringList subfolders_;
    std::shared_ptr<const FolderSnapshot> snapshot_;  // keeps the current folder's reading for the file list
};

// The hidden drive list: one entry per volume.
class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget* parent = nullptr);
    void refill();
};

}  // namespace orbet
