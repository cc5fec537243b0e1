#include "app/ui/FavouritesDialog.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QListWidget>
#include <QPushButton>

#include "app/ui/Form1.h"
#include "app/ui/Named.h"
#include "app/ui/Navigator.h"
#include "navigation/ui/ListControls.h"
#include "platform/Prompter.h"

namespace orbet {

Form2::Form2(Form1& form) : QDialog(&form), f_(form) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("お気に入りパス呼び出し"));
    List1 = named(new QListWidget(this), "List1");
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    List1->setFont(font);
    Command1 = named(new QPushButton(QStringLiteral("OK"), this), "Command1");
    Command2 = named(new QPushButton(QStringLiteral("キャンセル"), this), "Command2");
    Command3 = named(new QPushButton(QStringLiteral("削除"), this), "Command3");
    Command4 = named(new QPushButton(QStringLiteral("↓"), this), "Command4");
    Command5 = named(new QPushButton(QStringLiteral("↑"), this), "Command5");
    auto* grid = new QGridLayout(this);
    grid->addWidget(List1, 0, 0, 5, 1);
    grid->addWidget(Command5, 0, 1);
    grid->addWidget(Command4, 1, 1);
    grid->addWidget(Command3, 2, 1);
    grid->addWidget(Command1, 3, 1);
    grid->addWidget(Command2, 4, 1);
    List1->addItems(f_.favourites().entries());
    List1->setCurrentRow(-1);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Command3, &QPushButton::clicked, this, &Form2::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form2::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form2::Command5_Click);
    resize(520, 300);
}

bool Form2::hasSelection() {
    if (List1->currentRow() >= 0 && List1->currentItem() && List1->currentItem()->isSelected()) return true;
    f_.prompter().message(QStringLiteral("選択してください"), f_.state().title, Buttons::Ok);
    return false;
}

void Form2::storeList() {
    QStringList lines;
    for (int i = 0; i < List1->count(); ++i) lines.append(List1->item(i)->text());
    f_.favourites().replaceAll(lines);
}

void Form2::Command1_Click() {
    if (!hasSelection()) return;
    hide();
    const QString path = List1->currentItem()->text();
    f_.navigator().OpenTreePath(path);
    accept();
}

void Form2::Command3_Click() {
    if (!hasSelection()) return;
    delete List1->takeItem(List1->currentRow());
    storeList();
    List1->setCurrentRow(List1->count() > 0 ? 0 : -1);
}

void Form2::move(int step) {
    if (!hasSelection()) return;
    const int i = List1->currentRow();
    const int to = i + step;
    if (to < 0 || to >= List1->count()) {
        f_.prompter().message(QStringLiteral("これ以上移動できません"), f_.state().title, Buttons::Ok);
        return;
    }
    QListWidgetItem* line = List1->takeItem(i);
    List1->insertItem(to, line);
    storeList();
    List1->setCurrentRow(to);
}

void Form2::Command4_Click() { move(1); }

void Form2::Command5_Click() { move(-1); }

void Form2::done(int result) {
    QDialog::done(result);
    // Closing brings the main window back, even when it was hidden.
    f_.show();
}

void AddO(Form1& f) {
    const Answer a = f.prompter().message(QStringLiteral("現在のパスをお気に入りに登録します。よろしいですか？"),
                                          f.state().title, Buttons::YesNo, Icon::Question);
    if (a == Answer::Yes) f.favourites().append(f.Dir1->path());
}

void CallO(Form1& f) {
    if (f.favourites().isEmpty()) {
        f.prompter().message(QStringLiteral("登録されていません"), f.state().title, Buttons::Ok);
        return;
    }
    Form2 dialog(f);
    dialog.exec();
}

void chekO(Form1& f) {
    FavouritesStore& store = f.favourites();
    if (store.isEmpty()) {
        f.prompter().message(QStringLiteral("登録されていません"), f.state().title, Buttons::Ok);
        return;
    }
    if (store.count() == 1) {
        f.prompter().message(QStringLiteral("チェックする必要がありません"), f.state().title, Buttons::Ok);
        return;
    }
    const QString title = f.state().title;
    f.state().title = QStringLiteral("パスソート中_") + title;
    store.check([](const QString& p) { return QFileInfo::exists(p); }, [] { QCoreApplication::processEvents(); });
    f.state().title = title;
}

}  // namespace orbet
