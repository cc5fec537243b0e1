#pragma once

#include <functional>

#include <QList>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QListWidget;

namespace orbet {

class Prompter;

// The mini directory changer: the main window's path list and file list in
// a small window, to pick a folder and a file for the minimum window.
class Form3 : public QWidget {
    Q_OBJECT
  public:
    // A path as the list shows it and as it reaches the folder (the held,
    // escaped form of a name that is not UTF-8).
    struct PathEntry {
        QString shown;
        QString path;
    };
    // What the changer reads and drives in the main window.
    struct Hooks {
        std::function<QList<PathEntry>()> pathEntries;   // the path combo's list
        std::function<QStringList()> fileEntries;        // the file list's names as shown
        std::function<QString()> currentFolder;          // held form
        std::function<void(const QString&)> setPathText; // the path combo's text, as shown
        std::function<void(const QString&)> openTreePath;
        // Selects the entry in the file list, which shows the file.
        std::function<void(int)> selectFile;
        // After a file was selected: bring the minimum window up to date.
        std::function<void()> fileShown;
        std::function<void()> closed;
        QString programTitle;
    };
    Form3(Prompter& prompter, Hooks hooks, QWidget* parent);

    QComboBox* Combo1 = nullptr;
    QListWidget* List1 = nullptr;

    // Copies the main window's lists again (also done on opening).
    void refill();
    // A choice from the path list, or Enter in its text.
    void go(const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    Prompter& prompter_;
    Hooks hooks_;
    bool refilling_ = false;
};

} // namespace orbet
