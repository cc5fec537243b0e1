#include "options/ui/OptionForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include "navigation/ui/ListControls.h"
#include "options/PluginFolder.h"
#include "options/ui/FolderBrowser.h"
#include "platform/Named.h"
#include "platform/Prompter.h"
#include "platform/Volumes.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(OptionForm)
};
} // namespace

namespace {

QCheckBox* check(const char* name, const char* caption) {
    return named(new QCheckBox(Texts::tr(caption)), name);
}

QGroupBox* frame(const char* name, const char* caption, std::initializer_list<QWidget*> children) {
    auto* box = named(new QGroupBox(Texts::tr(caption)), name);
    auto* layout = new QVBoxLayout(box);
    for (QWidget* w : children)
        layout->addWidget(w);
    return box;
}

QComboBox* editableCombo(const char* name, const QStringList& choices) {
    auto* combo = named(new QComboBox, name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(choices);
    return combo;
}

} // namespace

OptionForm::OptionForm(Prompter& prompter, const QString& title, const OptionValues& current,
                       OptionHooks hooks, QWidget* parent)
    : QDialog(parent), prompter_(prompter), title_(title), hooks_(std::move(hooks)),
      storedFolder_(current.pluginFolder) {
    setObjectName(QStringLiteral("OptionForm"));
    setWindowTitle(QStringLiteral("Orbet-Option"));
    setModal(true);

    SSTab1 = named(new QTabWidget, "SSTab1");
    createPictureTab();
    createAudioTextTab();
    createFileTab();
    createViewerTab();

    Command4 = named(new QPushButton(QStringLiteral("OK")), "Command4");
    Command5 = named(new QPushButton(Texts::tr("キャンセル")), "Command5");
    Command3 = named(new QPushButton(Texts::tr("すべて標準にする")), "Command3");
    Command4->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command3);
    buttons->addStretch();
    buttons->addWidget(Command4);
    buttons->addWidget(Command5);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &OptionForm::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &OptionForm::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &OptionForm::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &OptionForm::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &OptionForm::Command5_Click);
    for (QSlider* s : {R, G, B})
        connect(s, &QSlider::valueChanged, this, &OptionForm::paintPreview);
    connect(Check10, &QCheckBox::toggled, this, [this](bool on) {
        for (QRadioButton* b : Option4)
            b->setEnabled(on);
    });
    connect(Drive1, &QComboBox::activated, this, &OptionForm::Drive1_Change);
    connect(Dir1, &FolderBrowser::changed, this, &OptionForm::Dir1_Change);

    showValues(current);
    // The plug-in folder: the stored one when it can be listed; otherwise
    // the browser starts at its usual place and the labels stay empty until
    // a folder is chosen.
    Drive1->refill();
    if (!current.pluginFolder.isEmpty() && QFileInfo(current.pluginFolder).isDir()) {
        selectDrive(current.pluginFolder);
        Dir1->setPath(current.pluginFolder);
    }
    if (!folderChosen_) {
        selectDrive(hooks_.browserStart);
        if (!Dir1->placeAt(hooks_.browserStart)) Dir1->placeAt(QStringLiteral("/"));
    }
    R->setFocus();
    adjustSize();
    centre();
}

void OptionForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The frame is known only once the window is shown.
    centre();
}

void OptionForm::createPictureTab() {
    auto* page = new QWidget;
    Label3 = named(new QLabel(Texts::tr("画像ファイルのバックグラウンド")), "Label3");
    Label4 = named(new QLabel(QStringLiteral("R")), "Label4");
    Label5 = named(new QLabel(QStringLiteral("G")), "Label5");
    Label6 = named(new QLabel(QStringLiteral("B")), "Label6");
    auto* sliders = new QGridLayout;
    int row = 0;
    for (auto [slider, label, name] :
         {std::tuple{&R, Label4, "R"}, std::tuple{&G, Label5, "G"}, std::tuple{&B, Label6, "B"}}) {
        *slider = named(new QSlider(Qt::Horizontal), name);
        (*slider)->setRange(0, 255);
        (*slider)->setPageStep(16);
        sliders->addWidget(label, row, 0);
        sliders->addWidget(*slider, row, 1);
        ++row;
    }
    Picture1 = named(new QFrame, "Picture1");
    Picture1->setFrameShape(QFrame::Box);
    Picture1->setAutoFillBackground(true);
    Picture1->setMinimumSize(64, 64);
    sliders->addWidget(Picture1, 0, 2, 3, 1);

    Drive1 = named(new DriveListBox, "Drive1");
    Dir1 = named(new FolderBrowser, "Dir1");
    File1 = named(new FileListBox, "File1");
    File1->setPattern(QStringLiteral("*.spi"));
    Label7 = named(new QLabel, "Label7");
    Label8 = named(new QLabel, "Label8");
    Label7->setWordWrap(true);
    Label8->setWordWrap(true);
    Frame7 = named(new QGroupBox(Texts::tr("SusiePluginの有る場所（次回起動時から有効）")), "Frame7");
    auto* browser = new QGridLayout(Frame7);
    browser->addWidget(Drive1, 0, 0);
    browser->addWidget(Dir1, 1, 0);
    browser->addWidget(File1, 0, 1, 2, 1);
    browser->addWidget(Label7, 2, 0, 1, 2);
    browser->addWidget(Label8, 3, 0, 1, 2);

    Check15 = check("Check15", QT_TRANSLATE_NOOP("OptionForm", "EXIFの回転情報に従って表示する"));

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Label3);
    layout->addLayout(sliders);
    layout->addWidget(Check15);
    layout->addWidget(Frame7);
    SSTab1->addTab(page, Texts::tr("ピクチャー"));
}

void OptionForm::createAudioTextTab() {
    auto* page = new QWidget;
    Check11 = check("Check11", QT_TRANSLATE_NOOP("OptionForm", "ファイルを選択すると同時に再生する"));
    Check12 =
        check("Check12", QT_TRANSLATE_NOOP("OptionForm", "ファイルを選択すると同時にリピートをオンにする"));
    Check13 = check("Check13", QT_TRANSLATE_NOOP("OptionForm", "リピート時確認をとる"));
    Check1 = check("Check1", QT_TRANSLATE_NOOP("OptionForm", "INI,BATファイルのコピー禁止"));
    Check2 = check("Check2", QT_TRANSLATE_NOOP("OptionForm", "テキストを編集可能にする"));
    Frame3 = frame("Frame3", QT_TRANSLATE_NOOP("OptionForm", "テキスト設定(&T)"), {Check1, Check2});
    auto* layout = new QVBoxLayout(page);
    for (QWidget* w : {static_cast<QWidget*>(Check11), static_cast<QWidget*>(Check12),
                       static_cast<QWidget*>(Check13), static_cast<QWidget*>(Frame3)})
        layout->addWidget(w);
    layout->addStretch();
    SSTab1->addTab(page, Texts::tr("オーディオ＆テキスト"));
}

void OptionForm::createFileTab() {
    auto* page = new QWidget;
    Check3 = check("Check3", QT_TRANSLATE_NOOP("OptionForm", "アーカイブファイルの表示"));
    Check4 = check("Check4", QT_TRANSLATE_NOOP("OptionForm", "隠しファイルの表示"));
    Check5 = check("Check5", QT_TRANSLATE_NOOP("OptionForm", "システムファイルの表示"));
    Command1 = named(new QPushButton(Texts::tr("すべて表示")), "Command1");
    Command2 = named(new QPushButton(Texts::tr("標準に戻す")), "Command2");
    for (QPushButton* b : {Command1, Command2})
        b->setAutoDefault(false);
    Frame4 = frame("Frame4", QT_TRANSLATE_NOOP("OptionForm", "ファイルリスト(&F)"),
                   {Check3, Check4, Check5, Command1, Command2});
    Check14 = check("Check14", QT_TRANSLATE_NOOP("OptionForm", "隠しフォルダを表示する"));
    Check7 = check("Check7", QT_TRANSLATE_NOOP("OptionForm", "ノード展開時そのノードのパスを設定する"));
    Check8 = check("Check8", QT_TRANSLATE_NOOP("OptionForm", "ノード折りたたみ時そのノードのパスを設定する"));
    Frame5 =
        frame("Frame5", QT_TRANSLATE_NOOP("OptionForm", "ディレクトリノード"), {Check14, Check7, Check8});
    Combo3 = named(new QComboBox, "Combo3");
    Combo3->addItem(Texts::tr("自動（デスクトップの言語）"));
    // Each language is offered under its own name, whatever the language in force.
    Combo3->addItem(QStringLiteral("日本語")); // untranslated: a language's own name
    Combo3->addItem(QStringLiteral("English"));
    Frame8 = frame("Frame8", QT_TRANSLATE_NOOP("OptionForm", "表示言語（次回起動時から有効）"), {Combo3});
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Frame4);
    layout->addWidget(Frame5);
    layout->addWidget(Frame8);
    layout->addStretch();
    SSTab1->addTab(page, Texts::tr("ファイル表示"));
}

void OptionForm::createViewerTab() {
    auto* page = new QWidget;
    Option1 = named(new QRadioButton(Texts::tr("変形しない(&N)")), "Option1");
    Option2 = named(new QRadioButton(Texts::tr("全体表示(&L)")), "Option2");
    Option3 = named(new QRadioButton(Texts::tr("比率を変えずに全体表示(&A)")), "Option3");
    Frame2 = frame("Frame2", QT_TRANSLATE_NOOP("OptionForm", "画像変形(&G)"), {Option1, Option2, Option3});
    Label1 = named(new QLabel(Texts::tr("スライドショー間隔(秒)(&T)")), "Label1");
    Combo1 = editableCombo("Combo1", intervalChoices());
    Label1->setBuddy(Combo1);
    Label2 = named(new QLabel(Texts::tr("テキスト全画面表示時の標準文字サイズ(&S)")), "Label2");
    Combo2 = editableCombo("Combo2", textSizeChoices());
    Label2->setBuddy(Combo2);
    Check6 = check("Check6",
                   QT_TRANSLATE_NOOP("OptionForm", "全画面時リスト、ランダム化（全画面時にも設定可能）"));
    Frame1 = frame("Frame1", QT_TRANSLATE_NOOP("OptionForm", "全画面設定（全画面ミニマムウィンドウ共通）"),
                   {Frame2, Label1, Combo1, Label2, Combo2, Check6});

    Check9 = check("Check9", QT_TRANSLATE_NOOP("OptionForm", "ﾐﾆﾏﾑｳｨﾝﾄﾞｳを表示時ﾒｲﾝｳｨﾝﾄﾞｳを隠す"));
    Check10 = check("Check10", QT_TRANSLATE_NOOP("OptionForm", "ｳｨﾝﾄﾞｳｻｲｽﾞ変更時画像の比率を考える"));
    Option4[0] = named(new QRadioButton(Texts::tr("横に合わせる")), "Option4");
    Option4[1] = named(new QRadioButton(Texts::tr("縦に合わせる")), "Option4");
    auto* sides = new QWidget; // its own parent keeps the two buttons exclusive of Frame2's
    auto* sidesLayout = new QHBoxLayout(sides);
    for (int i = 0; i < 2; ++i) {
        Option4[i]->setProperty("index", i);
        sidesLayout->addWidget(Option4[i]);
    }
    Frame6 = frame("Frame6", QT_TRANSLATE_NOOP("OptionForm", "ミニマムウィンドウ特別設定"),
                   {Check9, Check10, sides});

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Frame1);
    layout->addWidget(Frame6);
    layout->addStretch();
    SSTab1->addTab(page, Texts::tr("全体表示＆ﾐﾆﾏﾑｳｨﾝﾄﾞｳ"));
}

void OptionForm::showValues(const OptionValues& v) {
    (v.fit == PictureFit::KeepRatio ? Option3
     : v.fit == PictureFit::Whole   ? Option2
                                    : Option1)
        ->setChecked(true);
    Combo1->setCurrentText(intervalText(v.slideShowTimer));
    Combo2->setCurrentText(textSizeText(v.strSize));
    const std::pair<QCheckBox*, bool> checks[] = {
        {Check1, v.notIniBat},
        {Check2, v.txtEdi},
        {Check3, v.archive},
        {Check4, v.hide},
        {Check5, v.system},
        {Check11, v.autoPlay},
        {Check12, v.autoRepv2},
        {Check13, v.autoRep},
        {Check6, v.rnd},
        {Check7, v.nodeExpand},
        {Check8, v.nodeClose},
        {Check9, v.minWindowOnMainWindow},
        {Check10, v.minWindowSize},
        {Check14, v.hideDirectory != 0},
        {Check15, v.followOrientation},
    };
    for (auto [box, on] : checks)
        box->setChecked(on);
    for (QRadioButton* b : Option4)
        b->setEnabled(v.minWindowSize);
    Option4[v.minWindowSizeType == 0 ? 0 : 1]->setChecked(true);
    Combo3->setCurrentIndex(int(v.language));
    R->setValue(v.backcolorR);
    G->setValue(v.backcolorG);
    B->setValue(v.backcolorB);
    paintPreview();
}

void OptionForm::selectDrive(const QString& folder) {
    const int drive = Drive1->findData(volumeRootOf(folder.isEmpty() ? QStringLiteral("/") : folder));
    if (drive >= 0) Drive1->setCurrentIndex(drive);
}

void OptionForm::paintPreview() {
    QPalette p = Picture1->palette();
    p.setColor(QPalette::Window, QColor(R->value(), G->value(), B->value()));
    Picture1->setPalette(p);
}

void OptionForm::centre() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect s = screen->geometry();
    move(s.topLeft() + centredOrigin(s.size(), frameGeometry().size()));
}

OptionValues OptionForm::controlValues() const {
    OptionValues v;
    v.fit = Option3->isChecked()   ? PictureFit::KeepRatio
            : Option2->isChecked() ? PictureFit::Whole
                                   : PictureFit::AsIs;
    v.slideShowTimer = readInterval(Combo1->currentText()).value.value_or(0);
    v.strSize = readTextSize(Combo2->currentText()).value.value_or(0);
    v.notIniBat = Check1->isChecked();
    v.txtEdi = Check2->isChecked();
    v.archive = Check3->isChecked();
    v.hide = Check4->isChecked();
    v.system = Check5->isChecked();
    v.rnd = Check6->isChecked();
    v.nodeExpand = Check7->isChecked();
    v.nodeClose = Check8->isChecked();
    v.minWindowOnMainWindow = Check9->isChecked();
    v.minWindowSize = Check10->isChecked();
    v.hideDirectory = Check14->isChecked() ? 1 : 0;
    v.followOrientation = Check15->isChecked();
    v.language = LanguageChoice(Combo3->currentIndex());
    v.minWindowSizeType = Option4[0]->isChecked() ? 0 : 1;
    v.backcolorR = R->value();
    v.backcolorG = G->value();
    v.backcolorB = B->value();
    v.autoPlay = Check11->isChecked();
    v.autoRepv2 = Check12->isChecked();
    v.autoRep = Check13->isChecked();
    v.pluginFolder = folderChosen_ ? storedPluginFolder(Dir1->path()) : storedFolder_;
    return v;
}

void OptionForm::Command1_Click() {
    for (QCheckBox* box : {Check3, Check4, Check5})
        box->setChecked(true);
}

void OptionForm::Command2_Click() {
    Check3->setChecked(true);
    Check4->setChecked(false);
    Check5->setChecked(false);
}

void OptionForm::Command3_Click() {
    showValues(allDefaults(controlValues()));
    if (hooks_.storeBlackBackground) hooks_.storeBlackBackground();
}

void OptionForm::Command4_Click() {
    // Every check comes before the first change, so a refusal leaves the
    // program exactly as it was.
    for (auto [combo, refusal] : {std::pair{Combo1, readInterval(Combo1->currentText()).refusal},
                                  std::pair{Combo2, readTextSize(Combo2->currentText()).refusal}}) {
        if (refusal.isEmpty()) continue;
        prompter_.message(refusal, title_, Buttons::Ok);
        SSTab1->setCurrentIndex(3);
        combo->setFocus();
        return;
    }
    if (folderChosen_) {
        const QString refusal = pluginFolderRefusal(Dir1->path());
        if (!refusal.isEmpty()) {
            prompter_.message(refusal, title_, Buttons::Ok, Icon::Warning);
            SSTab1->setCurrentIndex(0);
            Dir1->setFocus();
            return;
        }
    }
    if (hooks_.apply && !hooks_.apply(controlValues())) return;
    accept();
}

void OptionForm::Command5_Click() {
    reject();
}

void OptionForm::Drive1_Change() {
    const QString root = Drive1->currentData().toString();
    if (Dir1->setPath(root)) return;
    // A drive that cannot be read gives way to the second one of the list.
    if (Drive1->count() > 1 && Drive1->currentIndex() != 1) {
        Drive1->setCurrentIndex(1);
        Drive1_Change();
    }
}

void OptionForm::Dir1_Change() {
    folderChosen_ = true;
    File1->setPath(Dir1->path());
    File1->finishListing();
    QStringList names;
    for (int i = 0; i < File1->listCount(); ++i)
        names.append(File1->entry(i));
    Label7->setText(pluginCountText(names));
    Label8->setText(Dir1->path());
}

} // namespace orbet
