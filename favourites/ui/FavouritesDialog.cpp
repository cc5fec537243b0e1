#include "favourites/ui/FavouritesDialog.h"

#include <thread>

#include <QCoreApplication>
#include <QGridLayout>
#include <QListWidget>
#include <QPushButton>

#include "favourites/FavouritesStore.h"
#include "platform/FileAttributes.h"
#include "platform/Mailbox.h"
#include "platform/Named.h"
#include "platform/NativePath.h"
#include "platform/ProgramState.h"
#include "platform/Prompter.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(FavouritesDialog)
};
} // namespace

Form2::Form2(Prompter& prompter, ProgramState& state, FavouritesStore& store, const FavouritesHooks& hooks,
             QWidget* parent)
    : QDialog(parent), prompter_(prompter), state_(state), store_(store), hooks_(hooks) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(Texts::tr("お気に入りパス呼び出し"));
    List1 = named(new QListWidget(this), "List1");
    List1->setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"))); // untranslated: a font family
    Command1 = named(new QPushButton(QStringLiteral("OK"), this), "Command1");
    Command2 = named(new QPushButton(Texts::tr("キャンセル"), this), "Command2");
    Command3 = named(new QPushButton(Texts::tr("削除"), this), "Command3");
    Command4 = named(new QPushButton(QStringLiteral("↓"), this), "Command4");
    Command5 = named(new QPushButton(QStringLiteral("↑"), this), "Command5");
    auto* grid = new QGridLayout(this);
    grid->addWidget(List1, 0, 0, 5, 1);
    grid->addWidget(Command5, 0, 1);
    grid->addWidget(Command4, 1, 1);
    grid->addWidget(Command3, 2, 1);
    grid->addWidget(Command1, 3, 1);
    grid->addWidget(Command2, 4, 1);
    // Each line shows the readable path and keeps the one that reaches the folder.
    for (const QString& path : store_.entries()) {
        auto* line = new QListWidgetItem(displayName(path), List1);
        line->setData(Qt::UserRole, path);
    }
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
    prompter_.message(Texts::tr("選択してください"), state_.title, Buttons::Ok);
    return false;
}

void Form2::storeList() {
    QStringList lines;
    for (int i = 0; i < List1->count(); ++i)
        lines.append(List1->item(i)->data(Qt::UserRole).toString());
    store_.replaceAll(lines);
}

void Form2::Command1_Click() {
    if (!hasSelection()) return;
    hide();
    const QString path = List1->currentItem()->data(Qt::UserRole).toString();
    if (!hooks_.openTreePath(path)) {
        prompter_.message(Texts::tr("そのパスは存在しません"), state_.title, Buttons::Ok);
        // A hidden dialog must not keep its modal loop running; the next
        // call builds a fresh one from the store.
        reject();
        return;
    }
    accept();
}

void Form2::Command3_Click() {
    if (!hasSelection()) return;
    delete List1->takeItem(List1->currentRow());
    storeList();
    if (List1->count() > 0)
        List1->setCurrentRow(0);
    else
        List1->setCurrentRow(-1);
}

void Form2::move(int step) {
    if (!hasSelection()) return;
    const int i = List1->currentRow();
    const int to = i + step;
    if (to < 0 || to >= List1->count()) {
        prompter_.message(Texts::tr("これ以上移動できません"), state_.title, Buttons::Ok);
        return;
    }
    QListWidgetItem* line = List1->takeItem(i);
    List1->insertItem(to, line);
    storeList();
    List1->setCurrentRow(to);
}

void Form2::Command4_Click() {
    move(1);
}

void Form2::Command5_Click() {
    move(-1);
}

void Form2::done(int result) {
    QDialog::done(result);
    // Closing brings the main window back, even when it was hidden.
    if (hooks_.showMainWindow) hooks_.showMainWindow();
}

FavouritesCommands::FavouritesCommands(Prompter& prompter, ProgramState& state, FavouritesStore& store,
                                       FavouritesHooks hooks, QWidget* dialogParent)
    : prompter_(prompter), state_(state), store_(store), hooks_(std::move(hooks)),
      dialogParent_(dialogParent), receiver_(std::make_unique<QObject>()),
      mailbox_(Mailbox::to(receiver_.get())) {}

FavouritesCommands::~FavouritesCommands() {
    mailbox_->close();
}

void FavouritesCommands::AddO() {
    const Answer a = prompter_.message(Texts::tr("現在のパスをお気に入りに登録します。よろしいですか？"),
                                       state_.title, Buttons::YesNo, Icon::Question);
    if (a == Answer::Yes) store_.append(hooks_.currentFolder());
}

void FavouritesCommands::CallO() {
    if (store_.isEmpty()) {
        prompter_.message(Texts::tr("登録されていません"), state_.title, Buttons::Ok);
        return;
    }
    Form2 dialog(prompter_, state_, store_, hooks_, dialogParent_);
    dialog.exec();
}

void FavouritesCommands::chekO() {
    if (checking_) return;
    if (store_.isEmpty()) {
        prompter_.message(Texts::tr("登録されていません"), state_.title, Buttons::Ok);
        return;
    }
    if (store_.count() == 1) {
        prompter_.message(Texts::tr("チェックする必要がありません"), state_.title, Buttons::Ok);
        return;
    }
    // The window goes on while the worker looks; the commands that would
    // change the store stay off until the answer is in.
    checking_ = true;
    hooks_.setCommandsEnabled(false);
    const QString title = state_.title;
    state_.title = Texts::tr("パスソート中_") + title;
    std::thread([this, entries = store_.entries(), title, mailbox = mailbox_] {
        FavouritesStore checked;
        checked.replaceAll(entries);
        checked.check([](const QString& p) { return existsAsFileOrFolder(p); });
        mailbox->post([this, kept = checked.entries(), title] {
            store_.replaceAll(kept);
            state_.title = title;
            hooks_.setCommandsEnabled(true);
            checking_ = false;
        });
    }).detach();
}

} // namespace orbet
