#pragma once

#include <functional>

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace orbet {

class DriveListBox;
class FileListBox;
class Prompter;
struct ProgramState;

// "拡張子変換ツール": renames every listed file of one folder from one
// extension to another. Not modal; one instance at a time.
class Form5 : public QWidget {
    Q_OBJECT
  public:
    // Opens on `folder`; after each conversion `refreshMainList` lets the
    // main window's file list follow.
    Form5(Prompter& prompter, ProgramState& state, const QString& folder,
          std::function<void()> refreshMainList, QWidget* parent);

    // Shows the window again, out of the task bar when it was minimised, and
    // makes it the active one.
    void comeBack();

    // Opens the folder in both file lists.
    void setFolder(const QString& folder);
    QString folder() const { return folder_; }
    void Command1_Click();

    DriveListBox* Drive1 = nullptr;
    QListWidget* Dir1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    FileListBox* File1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text2 = nullptr;
    FileListBox* File2 = nullptr;
    QLabel* Label3 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check3 = nullptr;
    QPushButton* Command1 = nullptr;

  private:
    void attributesChanged();
    // Sizes and places the window so the whole of it lies on the screen of
    // `over`, centred on it where there is room.
    void keepOnScreen(QWidget* over);

    Prompter& prompter_;
    ProgramState& state_;
    std::function<void()> refreshMainList_;
    QString folder_;
};

} // namespace orbet
