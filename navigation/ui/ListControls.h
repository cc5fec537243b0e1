#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QComboBox>
#include <QListView>
#include <QWidget>

#include "navigation/FileListing.h"
#include "navigation/FileRows.h"

namespace orbet {

// The file list: the files of one folder that pass a pattern and the
// attribute switches. The folder is read once per visit: a new folder is
// read (unless the same event just read it), the same folder again, a
// pattern or an attribute switch filter what was read, unless the folder
// changed on disk since; refresh() always reads afresh.
//
// The list is a view over the reading (FileListModel): a folder of a
// hundred thousand files costs no widget item per file. A large folder is
// filtered and sorted on a worker thread and handed over in one step;
// meanwhile isListing() is true and a new folder shows no rows. Listing the
// same folder again changes only the rows that differ, and nothing when
// none does.
class FileListBox : public QListView {
    Q_OBJECT
  public:
    explicit FileListBox(QWidget* parent = nullptr);
    ~FileListBox() override;

    QString path() const { return path_; }
    void setPath(const QString& folder);
    QString pattern() const { return pattern_; }
    void setPattern(const QString& pattern);
    AttributeFilter attributes() const { return attributes_; }
    void setAttributes(const AttributeFilter& attributes);
    // Re-reads the folder from disk. The selection survives a re-read of the
    // same folder when its file is still listed; it is never raised as a click.
    void refresh();

    int listCount() const;
    int listIndex() const { return currentIndex().row(); }
    // Selecting from code raises the same click the user's selection does.
    void setListIndex(int index);
    // Selects without raising the click: the file is shown already.
    void selectQuietly(int index);
    QString entry(int index) const;
    QString fileName() const { return entry(listIndex()); }
    // The text the row shows.
    QString entryText(int index) const;
    // The row of a listed name, -1 when it is not listed.
    int rowOf(const QString& name) const;

    // True while a listing runs on the worker.
    bool isListing() const { return bool(pending_); }
    // Runs now when the list is complete, else once it is (and only if the
    // list still shows the same folder then).
    void whenListed(std::function<void()> then);
    // Completes a running listing on this thread, for the commands that
    // need the whole list at once (export, the tools).
    void finishListing();
    // Whether the folder's file of that name will be listed, without the list.
    bool wouldList(const QString& name) const;

  signals:
    // A selection made by a mouse click or from code.
    void listClicked();
    // A selection the keyboard moved.
    void keyboardClicked();
    // Before the list handles a key, so the old selection is still current.
    void keyDown(int key);
    void gotFocus();
    // The listing is complete (at once, or when the worker hands it over).
    void listed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    void reload(FolderReuse reuse);
    void handOver(FileRows rows);
    void setCurrentRow(int row);
    void keepCurrentInView();

    class FileListModel* model_;
    QString path_;
    QString pattern_ = QStringLiteral("*.*");
    AttributeFilter attributes_;
    // What the worker is listing; its result is taken only while it is.
    std::unique_ptr<FileRows> pending_; // without a reading while the worker reads the folder
    QString pendingFolder_;
    std::uint64_t generation_ = 0;
    bool following_ = false;
    std::vector<std::pair<QString, std::function<void()>>> waiting_;
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
    // False while a large folder's subfolders wait for its reading.
    bool complete() const { return complete_; }

  private:
    QString path_;
    QStringList subfolders_;
    bool complete_ = true;
    std::shared_ptr<const FolderSnapshot> snapshot_; // keeps the current folder's reading for the file list
};

// The hidden drive list: one entry per volume.
class DriveListBox : public QComboBox {
    Q_OBJECT
  public:
    explicit DriveListBox(QWidget* parent = nullptr);
    void refill();
};

} // namespace orbet
