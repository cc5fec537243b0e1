#pragma once

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace orbet {

class MainParts;

// "ファイルフィルター新規登録ﾀﾞｲｱﾛｸﾞ": registers one user filter in the first
// free row of the table and refills the main window's filter combo.
class FilterMake : public QDialog {
    Q_OBJECT
  public:
    explicit FilterMake(MainParts& form);

    void Command1_Click(); // add the mask
    void Command2_Click(); // remove the selected mask
    void Command3_Click(); // register and close
    void droppedOnPicture(const QString& path);

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QListWidget* List1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Picture1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    MainParts& f_;
};

// "追加フィルターの整理": lists the user filters, deletes some or all, and
// stores the list as the new table on OK.
class FFLEdi : public QDialog {
    Q_OBJECT
  public:
    explicit FFLEdi(MainParts& form);

    void List1_Click();
    void Command1_Click(); // delete the selected filter
    void Command2_Click(); // delete all
    void Command3_Click(); // store and close

    QListWidget* List1 = nullptr;
    QListWidget* List2 = nullptr;
    QListWidget* List3 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;

  private:
    MainParts& f_;
};

} // namespace orbet
