#pragma once

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace orbet {

class Form1;
class DriveListBox;
class FileListBox;

// "拡張子変換ツール": renames every listed file of one folder from one
// extension to another. Not modal; one instance at a time.
class Form5 : public QWidget {
    Q_OBJECT
public:
    explicit Form5(Form1& form);

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

    Form1& f_;
    QString folder_;
};

// The menu command: shows the one tool window, creating it when needed.
void Kaku(Form1& form);

}  // namespace orbet
