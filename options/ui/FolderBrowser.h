#pragma once

#include <QListWidget>

namespace orbet {

// The visible folder list of the plug-in folder browser: the folders from
// the root down to the current one, then its subfolders. Double-clicking a
// line (or Enter on it) makes that folder current.
class FolderBrowser : public QListWidget {
    Q_OBJECT
  public:
    explicit FolderBrowser(QWidget* parent = nullptr);

    QString path() const { return path_; }
    // False, leaving everything as it was, when the folder cannot be listed.
    // A new path raises changed().
    bool setPath(const QString& folder);
    // Shows the folder without raising changed(): the opening position.
    bool placeAt(const QString& folder);

  signals:
    void changed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool list(const QString& folder);
    void enter(QListWidgetItem* item);

    QString path_;
};

} // namespace orbet
