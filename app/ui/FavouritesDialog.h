#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

namespace orbet {

class Form1;

// "お気に入りパス呼び出し": picks a favourite folder to go to, deletes
// favourites and changes their order. Every change reaches the store at once.
class Form2 : public QDialog {
    Q_OBJECT
public:
    explicit Form2(Form1& form);

    void Command1_Click();  // go to the selected favourite
    void Command3_Click();  // delete
    void Command4_Click();  // move down
    void Command5_Click();  // move up

    QListWidget* List1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;

protected:
    void done(int result) override;

private:
    bool hasSelection();
    void move(int step);
    void storeList();

    Form1& f_;
};

// The folder menu's favourites commands.
void AddO(Form1& form);
void CallO(Form1& form);
void chekO(Form1& form);

}  // namespace orbet
