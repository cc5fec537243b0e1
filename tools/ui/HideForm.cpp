#include "tools/ui/HideForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "navigation/FolderProbe.h"
#include "navigation/ui/ListControls.h"
#include "platform/Named.h"
#include "platform/NativePath.h"
#include "platform/ProgramState.h"
#include "platform/Prompter.h"
#include "platform/Shell.h"
#include "platform/Twips.h"
#include "platform/Volumes.h"
#include "platform/ui/ElidingLabel.h"
#include "tools/FolderSearch.h"
#include "tools/SearchLayout.h"
#include "tools/SearchModel.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(HideForm)
};
} // namespace

namespace {

// The status line changes at most this often, however fast entries come.
constexpr int kProgressMilliseconds = 250;

} // namespace

HideForm::HideForm(Prompter& prompter, const ProgramState& state, Hooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Window), prompter_(prompter), state_(state), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("HideForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Texts::tr("フォルダ/ファイル検索ﾂｰﾙ"));
    model_ = new SearchModel(this);
    search_ = new FolderSearch(this);
    progress_ = new QTimer(this);
    progress_->setInterval(kProgressMilliseconds);
    createControls();
    wire();
    setFolder(QDir::currentPath());
    resize(twips::toPixels(7200), twips::toPixels(6600));
}

HideForm::~HideForm() {
    search_->cancel();
}

void HideForm::createControls() {
    Mes = named(new QWidget(this), "Mes");
    Drive1 = named(new DriveListBox(Mes), "Drive1");
    Drive1->refill();
    Dir1 = named(new QListWidget(Mes), "Dir1");
    Label1 = named(new QLabel(Mes), "Label1");
    Frame1 = named(new QGroupBox(Texts::tr("検索対象"), Mes), "Frame1");
    Option1 = named(new QRadioButton(Texts::tr("ディレクトリ"), Frame1), "Option1");
    Option2 = named(new QRadioButton(Texts::tr("ファイル"), Frame1), "Option2");
    Option3 = named(new QRadioButton(Texts::tr("両方"), Frame1), "Option3");
    Check1 = named(new QCheckBox(Texts::tr("下層ディレクトリ検索"), Mes), "Check1");
    Frame2 = named(new QGroupBox(Texts::tr("ソート"), Mes), "Frame2");
    Option4 = named(new QRadioButton(Texts::tr("名前"), Frame2), "Option4");
    Option5 = named(new QRadioButton(Texts::tr("Ｄ＞Ｆ"), Frame2), "Option5");
    Option6 = named(new QRadioButton(Texts::tr("Ｆ＞Ｄ"), Frame2), "Option6");
    Check2 = named(new QCheckBox(Texts::tr("高速処理(リストボックスを隠す)"), Mes), "Check2");
    Command1 = named(new QPushButton(Texts::tr("検索開始"), Mes), "Command1");
    Command4 = named(new QPushButton(Texts::tr("中止"), Mes), "Command4");
    Label3 = named(new ElidingLabel(this), "Label3");
    List1 = named(new QListView(this), "List1");
    List1->setModel(model_);
    List1->setUniformItemSizes(true);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    Text1 = named(new QLineEdit(this), "Text1");
    Label2 = named(new QLabel(Texts::tr("出力先"), this), "Label2");
    Combo1 = named(new QComboBox(this), "Combo1");
    Combo1->addItems(
        {Texts::tr("親フォーム"), Texts::tr("フォルダーフォーム"), Texts::tr("フォルダ検索ツール")});
    Combo1->setCurrentIndex(0);
    Command2 = named(new QPushButton(Texts::tr("反映"), this), "Command2");
    Command3 = named(new QPushButton(Texts::tr("開く"), this), "Command3");

    auto* what = new QVBoxLayout(Frame1);
    for (QRadioButton* o : {Option1, Option2, Option3})
        what->addWidget(o);
    auto* order = new QVBoxLayout(Frame2);
    for (QRadioButton* o : {Option4, Option5, Option6})
        order->addWidget(o);
    auto* grid = new QGridLayout(Mes);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(Drive1, 0, 0);
    grid->addWidget(Dir1, 1, 0, 4, 1);
    grid->addWidget(Label1, 5, 0, 1, 3);
    grid->addWidget(Frame1, 0, 1, 3, 1);
    grid->addWidget(Frame2, 0, 2, 3, 1);
    grid->addWidget(Check1, 3, 1);
    grid->addWidget(Check2, 3, 2);
    grid->addWidget(Command1, 4, 1);
    grid->addWidget(Command4, 4, 2);
    grid->setColumnStretch(0, 1);

    Label3->setTextFormat(Qt::PlainText);
    Label1->setTextFormat(Qt::PlainText);
    Option1->setChecked(true);
    Option4->setChecked(true);
    Check2->setEnabled(false);
    Command4->setEnabled(false);
}

void HideForm::wire() {
    connect(Drive1, &QComboBox::activated, this,
            [this](int i) { setFolder(Drive1->itemData(i).toString()); });
    connect(Dir1, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        // Entries show readable names and keep the ones that reach the folders.
        const QString name = item->data(Qt::UserRole).toString();
        setFolder(name == QLatin1String("..")
                      ? folder_.left(qMax<qsizetype>(folder_.lastIndexOf(u'/'), 1))
                      : folder_ + (folder_.endsWith(u'/') ? QString() : QStringLiteral("/")) + name);
    });
    // A files-only search never descends.
    connect(Option2, &QRadioButton::toggled, this, [this](bool on) { Check1->setEnabled(!on); });
    for (QRadioButton* o : {Option4, Option5, Option6})
        connect(o, &QRadioButton::clicked, this, &HideForm::sortClicked);
    // A hidden list is not redrawn while entries arrive.
    connect(Check2, &QCheckBox::toggled, this, [this](bool on) { List1->setVisible(!on); });
    connect(Command1, &QPushButton::clicked, this, &HideForm::Command1_Click);
    connect(Command4, &QPushButton::clicked, this, &HideForm::Command4_Click);
    connect(Command2, &QPushButton::clicked, this, &HideForm::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &HideForm::Command3_Click);
    connect(Text1, &QLineEdit::textChanged, this, &HideForm::Text1_Change);
    connect(search_, &FolderSearch::batchReady, this, &HideForm::batchArrived);
    connect(search_, &FolderSearch::walkFinished, this, &HideForm::walkDone);
    connect(search_, &FolderSearch::sorted, this,
            [this](const std::shared_ptr<std::vector<std::uint32_t>>& order) {
                model_->setNameOrder(std::move(*order), selectedSort());
                finish(partial_);
            });
    connect(progress_, &QTimer::timeout, this, &HideForm::showProgress);
}

void HideForm::setFolder(const QString& folder) {
    if (!pathFacts(folder).isDir) return;
    folder_ = absoluteCleanPath(folder);
    Dir1->clear();
    for (const QString& sub :
         (folder_ != QLatin1String("/") ? QStringList{QStringLiteral("..")} : QStringList()) +
             subfolderPaths(folder_)) {
        const QString name = nativeFileName(sub);
        auto* entry = new QListWidgetItem(displayName(name), Dir1);
        entry->setData(Qt::UserRole, name);
    }
    const int drive = Drive1->findData(volumeRootOf(folder_));
    if (drive >= 0) Drive1->setCurrentIndex(drive);
    Label1->setText(displayName(folder_.endsWith(u'/') ? folder_ : folder_ + u'/'));
}

SearchSort HideForm::selectedSort() const {
    if (Option5->isChecked()) return SearchSort::FoldersFirst;
    if (Option6->isChecked()) return SearchSort::FilesFirst;
    return SearchSort::Name;
}

void HideForm::setBusy(Phase phase) {
    phase_ = phase;
    const bool idle = phase == Phase::Idle;
    for (QWidget* w :
         {static_cast<QWidget*>(Option1), static_cast<QWidget*>(Option2), static_cast<QWidget*>(Option3),
          static_cast<QWidget*>(Option4), static_cast<QWidget*>(Option5), static_cast<QWidget*>(Option6),
          static_cast<QWidget*>(Command1)})
        w->setEnabled(idle);
    // Enabled again after every search, as its last step does, whatever is listed.
    Check1->setEnabled(idle);
    Command4->setEnabled(!idle);
    if (idle) {
        progress_->stop();
    } else {
        Check2->setEnabled(true);
        progress_->start();
    }
}

void HideForm::Command1_Click() {
    if (Label1->text().isEmpty()) {
        prompter_.message(Texts::tr("選択してください"), state_.title, Buttons::Ok);
        return;
    }
    search_->cancel();
    setBusy(Phase::Walking);
    model_->clear();
    unreadable_ = 0;
    partial_ = false;
    currentFolder_ = -1;
    Label3->setText(preparingText());
    WalkOptions o;
    o.root = toNative(folder_.endsWith(u'/') ? folder_ : folder_ + u'/');
    o.folders = !Option2->isChecked();
    o.files = !Option1->isChecked();
    o.subfolders = Check1->isChecked();
    o.beforeListing = beforeListing;
    search_->startWalk(std::move(o));
}

void HideForm::batchArrived(const SearchBatch& batch) {
    model_->append(batch);
    currentFolder_ = batch.currentFolder;
}

void HideForm::showProgress() {
    if (phase_ == Phase::Sorting) {
        Label3->setText(sortingText(search_->sortPercent()));
        return;
    }
    const std::uint32_t rows = model_->entries().size();
    if (currentFolder_ < 0 || rows == 0) {
        if (rows > 0) Label3->setText(nextFolderText());
        return;
    }
    const SearchEntries& e = model_->entries();
    const std::uint32_t last = rows - 1;
    Label3->setText(
        walkingText(e.path(std::uint32_t(currentFolder_)), displayName(e.name(last)), e.isFolder(last)));
    // The selection follows the folder being listed, as the walk goes down the list.
    if (List1->isVisible()) List1->setCurrentIndex(model_->index(int(currentFolder_)));
}

void HideForm::walkDone(const WalkSummary& summary) {
    unreadable_ = summary.unreadable;
    startSort();
}

void HideForm::startSort() {
    setBusy(Phase::Sorting);
    Label3->setText(sortingText(0));
    search_->startSort(model_->sharedEntries());
}

void HideForm::Command4_Click() {
    if (phase_ == Phase::Idle) return;
    // The worker is left to stop on its own: a folder read may never return.
    search_->cancel();
    if (phase_ == Phase::Walking) partial_ = true;
    finish(true);
}

void HideForm::finish(bool cancelled) {
    const SearchEntries& e = model_->entries();
    Label3->setText(completionText(e.size(), e.folderCount(), e.fileCount(), unreadable_, cancelled));
    setBusy(Phase::Idle);
    Check2->setChecked(false);
    if (model_->rowCount() > 0) List1->setCurrentIndex(model_->index(0));
    emit searchEnded();
}

void HideForm::sortClicked() {
    if (phase_ != Phase::Idle || model_->rowCount() == 0) return;
    if (!model_->hasNameOrder()) {
        // A stopped search left its entries in the walk's order.
        startSort();
        return;
    }
    model_->showSorted(selectedSort());
    finish(partial_);
}

void HideForm::Text1_Change(const QString& text) {
    const int row = model_->find(text);
    if (row >= 0) {
        List1->setCurrentIndex(model_->index(row));
    } else {
        List1->clearSelection();
        List1->setCurrentIndex({});
    }
}

int HideForm::selectedRow() const {
    const QModelIndexList rows = List1->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void HideForm::Command2_Click() {
    const int row = selectedRow();
    if (row < 0 || model_->text(row).isEmpty()) {
        prompter_.message(Texts::tr("選択されていません"), state_.title, Buttons::Ok);
        return;
    }
    // The destinations take folders: a file sends the folder that holds it.
    const SearchEntries& e = model_->entries();
    std::uint32_t entry = model_->entryAt(row);
    if (!e.isFolder(entry)) entry = e.record(entry).parent;
    const QString folder = fromNative(e.nativePath(entry));
    switch (Combo1->currentIndex()) {
    case 0:
        if (hooks_.sendToMain) hooks_.sendToMain(folder);
        break;
    case 2:
        setFolder(folder);
        break;
    default:
        break; // "フォルダーフォーム" has no action
    }
}

void HideForm::Command3_Click() {
    const int row = selectedRow();
    if (row < 0 || model_->text(row).isEmpty()) {
        prompter_.message(Texts::tr("選択されていません"), state_.title, Buttons::Ok);
        return;
    }
    openNativePathWithDesktop(model_->nativePath(row));
}

void HideForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    SearchMeasures needs;
    needs.lineHeight = twips::fromPixels(Label3->fontMetrics().height());
    needs.label2Width = twips::fromPixels(Label2->sizeHint().width());
    needs.combo1Width = twips::fromPixels(Combo1->sizeHint().width());
    const SearchLayout l = layoutSearchTool(twips::fromPixels(width()), twips::fromPixels(height()), needs);
    if (l.resizeFirst) {
        resize(twips::toPixels(l.width), twips::toPixels(l.height));
        return;
    }
    const auto place = [](QWidget* w, const TwipsRect& r) { w->setGeometry(twips::toPixels(r)); };
    place(Mes, l.mes);
    place(Label3, l.label3);
    place(List1, l.list1);
    place(Text1, l.text1);
    place(Label2, l.label2);
    place(Combo1, l.combo1);
    place(Command2, l.command2);
    place(Command3, l.command3);
}

} // namespace orbet
