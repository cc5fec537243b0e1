#include "app/ui/Form1.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include "app/core/MainLayout.h"
#include "app/core/MenuTable.h"
#include "app/core/ShowController.h"
#include "app/ui/Commands.h"
#include "app/ui/CryptoCommands.h"
#include "app/ui/ExternalPrograms.h"
#include "app/ui/FilterDialogs.h"
#include "app/ui/MediaPanel.h"
#include "app/ui/Navigator.h"
#include "app/ui/OptionCommands.h"
#include "app/ui/Panes.h"
#include "app/ui/PathInput.h"
#include "app/ui/PluginInfoWindow.h"
#include "app/ui/ProgramIcon.h"
#include "app/ui/SearchCommands.h"
#include "app/ui/SettingsBinder.h"
#include "app/ui/ShowDispatch.h"
#include "app/ui/Shutdown.h"
#include "app/ui/Splitter.h"
#include "app/ui/Startup.h"
#include "app/ui/TextPane.h"
#include "app/ui/ToolCommands.h"
#include "app/ui/Toolbar.h"
#include "app/ui/Tray.h"
#include "app/ui/ViewerCommands.h"
#include "display/DisplayLayout.h"
#include "display/ExifOrientation.h"
#include "display/FileKinds.h"
#include "display/PictureLoader.h"
#include "display/ReadLimits.h"
#include "display/ui/MediaControl.h"
#include "display/ui/PictureBox.h"
#include "display/ui/WebPane.h"
#include "navigation/ui/ListControls.h"
#include "platform/Named.h"
#include "platform/Twips.h"
#include "platform/ui/ElidingLabel.h"
#include "viewers/MiniWebBrowser.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Form1)
};
} // namespace

namespace {} // namespace

Form1::Form1(Prompter& prompter, const StartRequest& request, QWidget* parent)
    : QMainWindow(parent), MainParts(*this, prompter, request) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(state_.title);
    setWindowIcon(programIcon());
    resize(twips::toPixels(designed::kWindowWidth), twips::toPixels(designed::kWindowHeight));
    createControls();
    createMenus();

    shows_ = new ShowController(
        request.target,
        [](const QString& path, JpegCornerHandOff* corner, const std::atomic<bool>* dropped) {
            return loadBuiltInPicture(path, decodedPictureLimitMb(), corner, dropped);
        },
        [this] { return panes_->cornerSize(); }, this);
    ownPanes_ = std::make_unique<Panes>(*this, *shows_);
    panes_ = ownPanes_.get();
    ownDisplay_ = std::make_unique<ShowDispatch>(*this, *shows_);
    display_ = ownDisplay_.get();
    display_->decodeWithPlugins = [this](const QString& path) {
        plugins_.setPicturesAsStored(!followsStoredOrientation());
        return plugins_.decodeAsync(path);
    };
    ownNavigator_ = std::make_unique<Navigator>(*this);
    navigator_ = ownNavigator_.get();
    ownSettings_ = std::make_unique<SettingsBinder>(*this);
    settings_ = ownSettings_.get();
    ownShutdown_ = std::make_unique<Shutdown>(*this);
    shutdown_ = ownShutdown_.get();
    ownTray_ = std::make_unique<Tray>(*this);
    tray_ = ownTray_.get();
    ownStartup_ = std::make_unique<Startup>(*this);
    startup_ = ownStartup_.get();
    commands_ = new Commands(*this);
    splitter_ = new Splitter(*this);
    textPane_ = new TextPane(*this);
    mediaPanel_ = new MediaPanel(*this);
    pathInput_ = new PathInput(*this);
    auto* viewers = new ViewerCommands(*this);
    connect(this, &Form1::activated, viewers, &ViewerCommands::mainWindowActivated);
    buildToolbar(
        *TB, [this](ToolButton b) { commands_->toolbarClick(b); },
        [this](ToolButton b) { return commands_->toolbarWorks(b); });
    wireEvents();
    wireSearchTool(*this);

    // The one-shot timer runs from the window's creation, not from the end of the start-up.
    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { startup_->Timer1_Timer(); });
    Timer1->start();
}

Form1::~Form1() {
    // The operations go before the controls do, and a control still signals
    // as it goes (the path combo's edit reports its text on losing focus),
    // so nothing a control says from here on may reach them.
    for (QWidget* w : findChildren<QWidget*>())
        w->blockSignals(true);
    // The operations watching the controls' events go next, then the
    // controls, so no event of a control half destroyed reaches a filter
    // that looks at the controls.
    delete splitter_, splitter_ = nullptr;
    delete textPane_, textPane_ = nullptr;
    delete pathInput_, pathInput_ = nullptr;
    delete mediaPanel_, mediaPanel_ = nullptr;
    delete commands_, commands_ = nullptr;
    if (MMC) MMC->release();
    delete central_, central_ = nullptr;
}

void Form1::load() {
    startup_->run();
}

void Form1::createControls() {
    central_ = new QWidget(this);
    central_->setObjectName(QStringLiteral("client"));
    setCentralWidget(central_);

    TB = named(new QToolBar(this), "TB");
    TB->setMovable(false);
    addToolBar(Qt::TopToolBarArea, TB);

    Combo2 = named(new QComboBox(central_), "Combo2");
    Combo2->setEditable(true);
    Combo1 = named(new QComboBox(central_), "Combo1");
    for (int i = 0; i < kBuiltInFilterCount; ++i)
        Combo1->addItem(builtInFilterText(i));
    Drive1 = named(new DriveListBox(central_), "Drive1");
    Drive1->hide();
    Dir1 = named(new FolderListBox(central_), "Dir1");
    Dir1->hide();
    Dir2 = named(new FolderListBox(central_), "Dir2");
    Dir2->hide();
    TV = named(new QTreeWidget(central_), "TV");
    TV->setHeaderHidden(true);
    // Rows differ only in weight and icon, never in height: a folder with
    // hundreds of subfolders is laid out without measuring each row.
    TV->setUniformRowHeights(true);
    File1 = named(new FileListBox(central_), "File1");
    Bytes = named(new QLabel(central_), "Bytes");
    // A long path is shown shortened in the middle; the tool tip holds it whole.
    Info = named(new ElidingLabel(central_), "Info");
    // The two labels get 165 twips a line under the file list; a small font
    // keeps their lines apart.
    for (QLabel* label : {Bytes, Info}) {
        QFont small = label->font();
        small.setPixelSize(10);
        label->setFont(small);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }

    Bar = named(new QWidget(central_), "Bar");
    Bar->setAutoFillBackground(true);
    Bar->setPalette(QPalette(QColor(64, 64, 64)));
    Bar->setCursor(Qt::SizeVerCursor);
    Tmp = named(new QWidget(central_), "Tmp");
    Tmp->setAutoFillBackground(true);
    Tmp->setPalette(QPalette(QColor(0, 0, 255)));
    Tmp->hide();
    MCC = named(new QWidget(central_), "MCC");
    MCC->hide();

    BP = named(new QWidget(central_), "BP");
    BP->setAutoFillBackground(true);
    MP = named(new PictureBox(BP), "MP");
    TS = named(new QScrollBar(Qt::Vertical, central_), "TS");
    YS = named(new QScrollBar(Qt::Horizontal, central_), "YS");
    RT = named(new QTextEdit(central_), "RT");
    RT->setReadOnly(true);
    RT->hide();
    WB1 = named(new WebPane(central_), "WB1");
    WB1->hide();
    createMediaPanel();

    STB = named(new QStatusBar(this), "STB");
    setStatusBar(STB);
    STB->setSizeGripEnabled(false);
}

void Form1::createMediaPanel() {
    MMC = named(new MediaControl(BP, MCC, this), "MMC");
    Command4 = named(new QPushButton(Texts::tr("再生"), MCC), "Command4");
    Command5 = named(new QPushButton(Texts::tr("停止"), MCC), "Command5");
    Command8 = named(new QPushButton(Texts::tr("初期化"), MCC), "Command8");
    Check1 = named(new QCheckBox(QStringLiteral("repeat"), MCC), "Check1");
    NoeP = named(new QLabel(MCC), "NoeP");
    OPM = named(new QLabel(MCC), "OPM");
    Label1 = named(new QLabel(Texts::tr("メディアコントロール"), MCC), "Label1");
    // The panel's own arrangement, in twips from its top-left corner.
    const struct {
        QWidget* w;
        TwipsRect r;
    } places[] = {
        {Label1, {120, 60, 2400, 255}},    {Command4, {120, 360, 900, 360}},
        {Command5, {1080, 360, 900, 360}}, {Command8, {2040, 360, 900, 360}},
        {Check1, {3060, 390, 1200, 300}},  {NoeP, {4320, 420, 900, 255}},
        {OPM, {120, 780, 9000, 255}},
    };
    for (const auto& p : places)
        place(p.w, p.r);
    MCC->resize(twips::toPixels(9600), twips::toPixels(1140));
}

void Form1::createMenus() {
    QMenu* stack[4] = {};
    for (const MenuEntry& e : menuTable()) {
        const QString name = QString::fromLatin1(e.name);
        if (e.depth == 0) {
            QMenu* m = new QMenu(menuCaption(e), this);
            m->setObjectName(name);
            // The two pop-ups never sit on the menu bar.
            if (name != QLatin1String("rtfmenu") && name != QLatin1String("HideMenu")) menuBar()->addMenu(m);
            menus_.insert(name, m);
            stack[0] = m;
            continue;
        }
        QMenu* parentMenu = stack[e.depth - 1];
        if (e.caption == QLatin1String("-")) {
            QAction* s = parentMenu->addSeparator();
            s->setObjectName(name);
            continue;
        }
        // An item followed by deeper items is a sub-menu.
        const auto& table = menuTable();
        const std::size_t index = std::size_t(&e - table.data());
        const bool hasChildren = index + 1 < table.size() && table[index + 1].depth > e.depth;
        if (hasChildren) {
            QMenu* sub = parentMenu->addMenu(menuCaption(e));
            sub->setObjectName(name);
            sub->menuAction()->setObjectName(name);
            menus_.insert(name, sub);
            stack[e.depth] = sub;
            continue;
        }
        QAction* a = new QAction(menuCaption(e), this);
        a->setObjectName(name);
        if (e.shortcut) a->setShortcut(QKeySequence(QString::fromLatin1(e.shortcut)));
        // The main window's keys act only while it is the active window, never
        // in the browser or the tools it opens.
        a->setShortcutContext(Qt::WindowShortcut);
        a->setCheckable(e.checkable);
        a->setChecked(e.checked);
        a->setEnabled(e.built);
        parentMenu->addAction(a);
        actions_[std::size_t(*e.command)] = a;
    }
}

void Form1::wireEvents() {
    connect(action(Command::exi), &QAction::triggered, this, &QWidget::close);
    connect(action(Command::exit), &QAction::triggered, this, &QWidget::close);
    connect(action(Command::Dexit), &QAction::triggered, this, [this] { shutdown_->Dexit(); });
    connect(action(Command::OutF), &QAction::triggered, this, [this] { shutdown_->OutF(); });
    connect(action(Command::HexwellterOpen), &QAction::triggered, this, [this] { HexwellterOpen(*this); });
    connect(action(Command::Pic1), &QAction::triggered, this, [this] { Pic1(*this); });
    connect(action(Command::HLPPic), &QAction::triggered, this, [this] { HLPPic(*this); });
    connect(action(Command::HLP), &QAction::triggered, this, [this] { HLP(*this); });
    connect(action(Command::OPRT), &QAction::triggered, this, [this] { OPRT(*this); });
    connect(action(Command::ver), &QAction::triggered, this, [this] { ver(*this); });
    connect(action(Command::VrIOnfo), &QAction::triggered, this, [this] { ver(*this); });
    for (Command c : {Command::MiniWebGo, Command::minwebs})
        connect(action(c), &QAction::triggered, this, [this] {
            // One window serves both commands; a second command brings it back.
            if (!miniWeb_) miniWeb_ = new MinWeb(this, prompter_);
            miniWeb_->comeBack();
        });
    new ToolCommands(*this);
    connect(action(Command::directdir), &QAction::triggered, this, [this] { pathInput_->DirectPathInput(); });
    connect(action(Command::ToWin), &QAction::triggered, this, [this] { pathInput_->ToWin(); });
    connect(action(Command::ToDesk), &QAction::triggered, this, [this] { pathInput_->ToDesk(); });
    connect(action(Command::ToMyDoc), &QAction::triggered, this, [this] { pathInput_->ToMyDoc(); });
    connect(action(Command::FiltSet), &QAction::triggered, this, [this] { FilterMake(*this).exec(); });
    connect(action(Command::FiltEdi), &QAction::triggered, this, [this] { FFLEdi(*this).exec(); });
    connect(action(Command::rtfsa), &QAction::triggered, this, [this] { textPane_->rtfsa_Click(); });
    connect(action(Command::pri), &QAction::triggered, this, [this] { textPane_->pri_Click(); });
    connect(action(Command::Openfile), &QAction::triggered, this, [this] { commands_->Openfile(); });
    connect(action(Command::OPPR), &QAction::triggered, this, [this] { commands_->OPPR(); });
    connect(action(Command::Expl), &QAction::triggered, this, [this] { commands_->Expl(); });
    connect(action(Command::ExpNow), &QAction::triggered, this, [this] { commands_->ExpNow(); });
    connect(action(Command::IHelp), &QAction::triggered, this, [this] { commands_->IHelp(); });
    options::wire(*this);
    wireCryptoCommands(*this);
    commands_->acceptDrops(this);
    for (QWidget* target :
         {static_cast<QWidget*>(BP), static_cast<QWidget*>(MP), static_cast<QWidget*>(Combo1),
          static_cast<QWidget*>(File1), static_cast<QWidget*>(Dir1), static_cast<QWidget*>(Drive1),
          static_cast<QWidget*>(OPM), static_cast<QWidget*>(STB), static_cast<QWidget*>(TB), central_})
        commands_->acceptDrops(target);
    commands_->acceptDrops(File1->viewport());
    commands_->ignoreDrops(RT);
    connect(action(Command::SPlug), &QAction::triggered, this, [this] {
        PluginInfoWindow window(plugins_, this);
        window.exec();
    });
    connect(action(Command::ReViewS), &QAction::triggered, this, [this] { navigator_->ReViewS(); });
    connect(action(Command::taskTin), &QAction::triggered, this, [this] { tray_->sendToTray(); });
    connect(action(Command::Re), &QAction::triggered, this, [this] { tray_->restore(); });
    tray_->bindStartItem(action(Command::STopJ));
    for (Command c : {Command::MunuASet, Command::Hiddemset, Command::SYSSet})
        connect(action(c), &QAction::toggled, this, [this] { syncAttributeFilters(); });
    connect(action(Command::EdiOK), &QAction::toggled, this, [this](bool on) { RT->setReadOnly(!on); });
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this](int i) { navigator_->Combo1_Click(i); });
    connect(File1, &FileListBox::listClicked, this, [this] { display_->File1_Click(); });
    connect(File1, &FileListBox::keyboardClicked, this, [this] { display_->File1_KeyboardClick(); });
    connect(File1, &FileListBox::keyDown, this, [this](int key) { display_->File1_KeyDown(key); });
    connect(File1, &FileListBox::gotFocus, this, [this] { display_->File1_GotFocus(); });
    // Scroll values are twips, as the layout computes them.
    connect(TS, &QScrollBar::valueChanged, this, [this](int v) { MP->move(MP->x(), -twips::toPixels(v)); });
    connect(YS, &QScrollBar::valueChanged, this, [this](int v) { MP->move(-twips::toPixels(v), MP->y()); });
}

bool Form1::event(QEvent* event) {
    // The status text is the window's own and stays: a menu item's (empty)
    // status tip must not wipe it while the pointer passes over the menus.
    if (event->type() == QEvent::StatusTip) return true;
    return QMainWindow::event(event);
}

void Form1::closeEvent(QCloseEvent* event) {
    if (shutdown_->confirmClose()) {
        event->accept();
        shutdown_->unload();
    } else {
        event->ignore();
    }
}

void Form1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The remembered rectangle follows only a normal window, so a minimised
    // or maximised end still restores the last normal size.
    if (windowState() == Qt::WindowNoState && isVisible()) state_.remembered = rectTwips();
    applyLayout();
}

void Form1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) emit activated();
}

} // namespace orbet
