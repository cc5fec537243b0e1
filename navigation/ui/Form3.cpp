#include "navigation/ui/Form3.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>

#include "navigation/FolderProbe.h"
#include "navigation/MiniChanger.h"
#include "platform/NativePath.h"
#include "platform/Prompter.h"
#include "platform/Twips.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Form3)
};
} // namespace

Form3::Form3(Prompter& prompter, Hooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Window), prompter_(prompter), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(Texts::tr("ミニマムディレクトリチェンジャー"));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setToolTip(Texts::tr("ドライブを変更する際は直接入力してEnterを押してください"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    connect(Combo1, &QComboBox::activated, this, [this](int i) { go(Combo1->itemText(i)); });
    // Enter is taken before the combo would pick the list entry its text
    // names; the keys reach the combo, not its line edit.
    Combo1->installEventFilter(this);
    // Leaving the box chooses nothing (the toolkit would take a text equal
    // to an entry as chosen when the box loses the focus).
    QObject::disconnect(Combo1->lineEdit(), &QLineEdit::editingFinished, Combo1, nullptr);
    connect(List1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0 || !hooks_.selectFile) return;
        hooks_.selectFile(row);
        if (hooks_.fileShown) hooks_.fileShown();
    });
    resize(twips::toPixels(4000), twips::toPixels(5000));
    refill();
}

bool Form3::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Combo1 || event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    go(Combo1->currentText());
    return true;
}

void Form3::refill() {
    if (refilling_) return;
    refilling_ = true;
    // The lists are copies: each refill replaces them, and keeps what the user typed.
    const QString typed = Combo1->currentText();
    Combo1->hide();
    List1->hide();
    {
        const QSignalBlocker blockCombo(Combo1);
        const QSignalBlocker blockList(List1);
        Combo1->clear();
        List1->clear();
        // The list shows readable paths and keeps the ones that reach the folders.
        for (const PathEntry& e : hooks_.pathEntries ? hooks_.pathEntries() : QList<PathEntry>())
            Combo1->addItem(e.shown, e.path);
        List1->addItems(hooks_.fileEntries ? hooks_.fileEntries() : QStringList());
        Combo1->setEditText(typed);
    }
    Combo1->show();
    List1->show();
    setWindowTitle(Texts::tr("ミニマムディレクトリチェンジャー　- ") +
                   displayName(hooks_.currentFolder ? hooks_.currentFolder() : QString()));
    refilling_ = false;
    if (List1->count() > 0) List1->setCurrentRow(0);
}

void Form3::go(const QString& text) {
    if (hooks_.setPathText) hooks_.setPathText(text);
    // A listed path is reached by the path its entry keeps, not by its shown text.
    const int listed = Combo1->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    const QVariant kept = listed >= 0 ? Combo1->itemData(listed) : QVariant();
    const std::optional<QString> target = miniChangerTarget(
        kept.isValid() ? kept.toString() : text, hooks_.currentFolder ? hooks_.currentFolder() : QString());
    if (!target) return; // ".." at a volume root
    if (probeFolder(*target) == FolderStatus::DeviceNotReady) {
        prompter_.message(displayName(*target) + Texts::tr("は利用出来ない状況にあるか存在しません"),
                          hooks_.programTitle + QStringLiteral(" - PathDirectInput"), Buttons::Ok);
        return;
    }
    if (hooks_.openTreePath) hooks_.openTreePath(*target);
    if (hooks_.setPathText) hooks_.setPathText(displayName(*target));
    Combo1->setEditText(displayName(*target));
    refill();
}

void Form3::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const MiniChangerLayout l = layoutMiniChanger(twips::fromPixels(width()), twips::fromPixels(height()),
                                                  twips::fromPixels(Combo1->sizeHint().height()));
    if (l.resizeFirst) {
        resize(twips::toPixels(l.width), twips::toPixels(l.height));
        return;
    }
    Combo1->setGeometry(twips::toPixels(l.combo));
    List1->setGeometry(twips::toPixels(l.list));
}

void Form3::closeEvent(QCloseEvent* event) {
    event->accept();
    if (hooks_.closed) hooks_.closed();
}

} // namespace orbet
