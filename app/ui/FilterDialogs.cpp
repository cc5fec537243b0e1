#include "app/ui/FilterDialogs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDropEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/ui/MainParts.h"
#include "app/ui/Navigator.h"
#include "platform/Named.h"
#include "platform/Prompter.h"
#include "plugins/FilterRules.h"
#include "plugins/UserFilterTable.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(FilterDialogs)
};
} // namespace

namespace {

QString badInput() {
    return Texts::tr("正しい入力でありません");
}

} // namespace

FilterMake::FilterMake(MainParts& form) : QDialog(&form.window()), f_(form) {
    setObjectName(QStringLiteral("FilterMake"));
    setWindowTitle(Texts::tr("ファイルフィルター新規登録ﾀﾞｲｱﾛｸﾞ"));
    Label1 = named(new QLabel(Texts::tr("登録名(&N)："), this), "Label1");
    Text1 = named(new QLineEdit(this), "Text1");
    Label1->setBuddy(Text1);
    Frame1 = named(new QGroupBox(Texts::tr("フィルター"), this), "Frame1");
    Text2 = named(new QLineEdit(Frame1), "Text2");
    Command1 = named(new QPushButton(Texts::tr("追加"), Frame1), "Command1");
    Command2 = named(new QPushButton(Texts::tr("削除"), Frame1), "Command2");
    List1 = named(new QListWidget(Frame1), "List1");
    Label2 =
        named(new QLabel(Texts::tr("ここに、ファイルをドロップすると、拡張子を自動認識します。↓"), Frame1),
              "Label2");
    Picture1 = named(new QLabel(Frame1), "Picture1");
    Picture1->setMinimumHeight(48);
    Picture1->setFrameShape(QFrame::StyledPanel);
    Picture1->setAcceptDrops(true);
    Picture1->installEventFilter(this);
    Frame2 = named(new QGroupBox(Texts::tr("読み込み方式"), this), "Frame2");
    Combo1 = named(new QComboBox(Frame2), "Combo1");
    Combo1->addItems({Texts::tr("ピクチャー"), Texts::tr("テキスト"), Texts::tr("WWWブラウザ")});
    Combo1->setCurrentIndex(1);
    Command3 = named(new QPushButton(QStringLiteral("OK"), this), "Command3");
    Command4 = named(new QPushButton(Texts::tr("キャンセル"), this), "Command4");

    auto* maskGrid = new QGridLayout(Frame1);
    maskGrid->addWidget(Text2, 0, 0);
    maskGrid->addWidget(Command1, 0, 1);
    maskGrid->addWidget(List1, 1, 0);
    maskGrid->addWidget(Command2, 1, 1, Qt::AlignTop);
    maskGrid->addWidget(Label2, 2, 0, 1, 2);
    maskGrid->addWidget(Picture1, 3, 0, 1, 2);
    (new QVBoxLayout(Frame2))->addWidget(Combo1);
    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(Frame1, 1, 0, 1, 2);
    grid->addWidget(Frame2, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command3);
    buttons->addWidget(Command4);
    grid->addLayout(buttons, 3, 0, 1, 2);

    connect(Command1, &QPushButton::clicked, this, &FilterMake::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &FilterMake::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &FilterMake::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &QDialog::reject);
}

void FilterMake::Command1_Click() {
    if (!isMaskInput(Text2->text())) {
        f_.prompter().message(badInput(), f_.state().title, Buttons::Ok);
        return;
    }
    List1->addItem(Text2->text());
}

void FilterMake::Command2_Click() {
    if (QListWidgetItem* item = List1->currentItem()) delete item;
}

void FilterMake::droppedOnPicture(const QString& path) {
    Text2->setText(maskForDroppedPath(path));
}

bool FilterMake::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Picture1) return false;
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        static_cast<QDropEvent*>(event)->acceptProposedAction();
        return true;
    }
    if (event->type() != QEvent::Drop) return false;
    const QMimeData* data = static_cast<QDropEvent*>(event)->mimeData();
    if (!data || !data->hasUrls() || data->urls().isEmpty() || !data->urls().first().isLocalFile())
        f_.prompter().message(QStringLiteral("Command Line Error!"), f_.state().title, Buttons::Ok);
    else
        droppedOnPicture(data->urls().first().toLocalFile());
    return true;
}

void FilterMake::Command3_Click() {
    QStringList masks;
    for (int i = 0; i < List1->count(); ++i)
        masks.append(List1->item(i)->text());
    const QString pattern = buildFilterPattern(masks);
    // Text the filter file cannot hold is refused here, and so is a filter
    // without any mask, which could never list a file.
    if (masks.isEmpty() || !storableInFilterFile(Text1->text()) || !storableInFilterFile(pattern)) {
        f_.prompter().message(badInput(), f_.state().title, Buttons::Ok);
        return;
    }
    UserFilterTable& table = f_.userFilters();
    const int row = firstFreeRow(table);
    if (row < 0) {
        f_.prompter().message(Texts::tr("空きがありません"), f_.state().title, Buttons::Ok);
        return;
    }
    table.row(row) = {FilterValue::ofText(Text1->text()), FilterValue::ofText(pattern),
                      FilterValue::ofNumber(Combo1->currentIndex())};
    const int selected = f_.Combo1->currentIndex();
    f_.refillUserFilters();
    if (f_.Combo1->currentIndex() == selected)
        f_.navigator().Combo1_Click(selected);
    else
        f_.Combo1->setCurrentIndex(selected);
    accept();
}

FFLEdi::FFLEdi(MainParts& form) : QDialog(&form.window()), f_(form) {
    setObjectName(QStringLiteral("FFLEdi"));
    setWindowTitle(Texts::tr("追加フィルターの整理"));
    List1 = named(new QListWidget(this), "List1");
    List2 = named(new QListWidget(this), "List2");
    List3 = named(new QListWidget(this), "List3");
    List2->hide();
    List3->hide();
    Frame1 = named(new QGroupBox(Texts::tr("フィルタデータ"), this), "Frame1");
    Label2 = named(new QLabel(Frame1), "Label2");
    Label1 = named(new QLabel(Frame1), "Label1");
    Label2->setWordWrap(true);
    auto* frame = new QVBoxLayout(Frame1);
    frame->addWidget(Label2);
    frame->addWidget(Label1);
    Command1 = named(new QPushButton(Texts::tr("削除"), this), "Command1");
    Command2 = named(new QPushButton(Texts::tr("オールデリート"), this), "Command2");
    Command3 = named(new QPushButton(QStringLiteral("OK"), this), "Command3");
    Command4 = named(new QPushButton(Texts::tr("キャンセル"), this), "Command4");
    auto* grid = new QGridLayout(this);
    grid->addWidget(List1, 0, 0, 3, 1);
    grid->addWidget(Frame1, 0, 1);
    grid->addWidget(Command1, 1, 1);
    grid->addWidget(Command2, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command3);
    buttons->addWidget(Command4);
    grid->addLayout(buttons, 3, 0, 1, 2);

    const UserFilterTable& table = f_.userFilters();
    for (int r = 0; r < UserFilterTable::Rows; ++r) {
        const UserFilter& row = table.row(r);
        if (row.name.asText().isEmpty()) break;
        List1->addItem(row.name.asText());
        List2->addItem(row.patterns.asText());
        List3->addItem(row.method.asText());
    }
    connect(List1, &QListWidget::currentRowChanged, this, &FFLEdi::List1_Click);
    connect(Command1, &QPushButton::clicked, this, &FFLEdi::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &FFLEdi::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &FFLEdi::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &QDialog::reject);
}

void FFLEdi::List1_Click() {
    const int i = List1->currentRow();
    // The three lists change one after another while an entry is deleted.
    if (i < 0 || i >= List2->count() || i >= List3->count()) return;
    List2->setCurrentRow(i);
    List3->setCurrentRow(i);
    Label2->setText(List2->item(i)->text());
    const QString label = readingMethodLabel(List3->item(i)->text());
    if (!label.isEmpty()) Label1->setText(label);
}

void FFLEdi::Command1_Click() {
    const int i = List1->currentRow();
    if (i < 0) return;
    delete List2->takeItem(i);
    delete List3->takeItem(i);
    delete List1->takeItem(i);
}

void FFLEdi::Command2_Click() {
    List1->clear();
    List2->clear();
    List3->clear();
}

void FFLEdi::Command3_Click() {
    UserFilterTable& table = f_.userFilters();
    table.clear();
    for (int k = 0; k < List1->count() && k < UserFilterTable::Rows; ++k)
        table.row(k) = {FilterValue::ofText(List1->item(k)->text()),
                        FilterValue::ofText(List2->item(k)->text()),
                        FilterValue::ofText(List3->item(k)->text())};
    const int selected = f_.Combo1->currentIndex();
    f_.refillUserFilters();
    // A built-in filter stays selected; a user filter's entry may be gone.
    if (selected >= 15) {
        const QSignalBlocker quiet(f_.Combo1);
        f_.Combo1->setCurrentIndex(-1);
    }
    accept();
}

} // namespace orbet
