#include "app/ui/Startup.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

#include "app/core/MainLayout.h"
#include "app/core/ShowController.h"
#include "app/core/StartupRules.h"
#include "app/ui/MainParts.h"
#include "app/ui/Navigator.h"
#include "app/ui/OptionCommands.h"
#include "app/ui/Panes.h"
#include "app/ui/SettingsBinder.h"
#include "app/ui/ShowDispatch.h"
#include "app/ui/SplashWindow.h"
#include "app/ui/Tray.h"
#include "display/ColourProfile.h"
#include "display/ExifOrientation.h"
#include "display/FileKinds.h"
#include "display/PictureLoader.h"
#include "display/ui/ScreenProfile.h"
#include "navigation/FileListing.h"
#include "navigation/ui/ListControls.h"
#include "platform/CodeFolders.h"
#include "platform/Numbers.h"
#include "platform/ProgramFolders.h"
#include "platform/Prompter.h"
#include "platform/StartupTrace.h"
#include "platform/Twips.h"
#include "platform/UserStore.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Startup)
};
} // namespace

Startup::Startup(MainParts& form) : f_(form) {}

Startup::~Startup() = default;

void Startup::progress(const QString& text) {
    if (!splash_) return;
    progress_.append(text);
    splash_->OPt(text);
    // Kept: the start builds and fills the window's own controls, so it
    // cannot move to a worker, and the splash window is drawn only by the
    // event loop; without letting events run here it would stay blank
    // until the start is over.
    QCoreApplication::processEvents();
}

namespace {

// The picture the command line asks for, when the built-in loader decodes
// it on a worker.
QString commandLinePicture(const QString& path) {
    if (!IsBuiltInPictureName(path) || path.endsWith(QLatin1String(".wmf"), Qt::CaseInsensitive)) return {};
    return path;
}

} // namespace

void Startup::run() {
    ProgramState& st = f_.state();
    // A message about the file named on the command line (cut to 16 MB,
    // too large to decode) is no reason to keep the window waiting: it
    // comes once the window is up, over it, not over the splash.
    f_.startMessages().hold();
    setFollowsStoredOrientation(options::storedOrientationFollowed());
    setDisplayProfile(screenProfile());
    // The picture asked for decodes while the rest of the start runs; the
    // show takes it (or, when a filter hides it, it is dropped below).
    // A large photo instead shows its corner first and decodes the whole
    // picture only then, so the two never share the cores during the start.
    ReadAhead& ahead = f_.shows().readAhead();
    const QString picture = commandLinePicture(f_.shows().commandLineFile());
    if (!picture.isEmpty() && !showsCornerFirst(picture)) ahead.expect(picture);
    st.resident = num::isOn(num::val(readStoreValue(QStringLiteral("Task"), QStringLiteral("Task"))));
    if (f_.startRequest().resident) st.resident = true;

    if (!st.resident) {
        splash_ = std::make_unique<SplashWindow>(
            folders::join(folders::programFolder(), QStringLiteral("pd1/ti.tex")));
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QSize s = screen->size();
            const int left =
                int(centredStart(twips::fromPixels(s.width()), twips::fromPixels(splash_->width())));
            const int top =
                int(centredStart(twips::fromPixels(s.height()), twips::fromPixels(splash_->height())));
            splash_->move(twips::toPixels(left), twips::toPixels(top));
        }
        splash_->show();
        // Kept, as in progress(): the splash has to reach the screen now.
        QCoreApplication::processEvents();
        traceStartupStep("splash");
    }

    st.pluginFolder =
        pluginFolderFromStore(readStoreValue(QStringLiteral("SusiePlugin"), QStringLiteral("Path")),
                              folders::join(folders::programFolder(), QStringLiteral("susie")));

    f_.Combo2->move(0, f_.Combo2->y());
    st.backcolorR = st.backcolorG = st.backcolorB = 255;
    st.title = QStringLiteral("Orbet");
    st.slideShowTimer = 500;
    st.showEnabled = false;
    st.strSize = 10.5;

    progress(Texts::tr("アイコン、ツールチップの初期化"));
    f_.navigator().DriveCheck(QStringLiteral("ALL"));
    traceStartupStep("drive level");

    f_.Dir1->setToolTip(Texts::tr("フォルダを選択します。"));
    f_.Combo1->setToolTip(Texts::tr("ファイルフィルターです。ファイルの種類を選択します。"));
    f_.Drive1->setToolTip(Texts::tr("ドライブを選択します。"));
    f_.File1->setToolTip(Texts::tr("ファイルを選択します"));
    f_.Bytes->setToolTip(Texts::tr("ファイルサイズです。"));
    f_.Bar->setToolTip(Texts::tr("こののバーでディレクトリコントロールと表示領域の割合を変更できます"));

    progress(Texts::tr("ファイルパターン初期化"));
    f_.favourites().clear();
    f_.File1->setPattern(builtInFilterPattern(0));

    progress(Texts::tr("Susieプラグイン読み込み"));
    LoadPlugins();
    // The first filter is selected now; its pattern takes the plug-ins' masks
    // at once, so a first run without settings lists their files too.
    f_.File1->setPattern(builtInFilterPattern(0, f_.plugins().patternSuffix()));
    traceStartupStep("plug-ins");

    progress(Texts::tr("ウィンドウサイズ初期化"));
    f_.setStatusText(f_.navigator().objectsText(QStringLiteral("not file find")));
    f_.panes().clearPicture();

    progress(Texts::tr("前回設定読み込み"));
    // The file named on the command line is shown here, with the rest of
    // the start still to run: a large photo's corner decoded alone reaches
    // the screen first, where the whole decoding would share the cores.
    f_.panes().firstCorner = Panes::FirstCorner::DecodedHere;
    f_.settings().OpenF();
    if (!f_.settings().awaitingPlugins().isEmpty()) awaited_ = f_.settings().awaitingPlugins();
    f_.panes().firstCorner = Panes::FirstCorner::FromDecoding;
    if (!picture.isEmpty()) ahead.forget(picture);
    traceStartupStep("OpenF");

    progress(Texts::tr("設定復元"));
    f_.setBackColour();
    f_.window().setWindowTitle(st.title + QStringLiteral(" - ") + f_.Dir1->path());
    f_.setInfo(Texts::tr("探査対象") + f_.Combo1->currentText() + QStringLiteral(" _ ") + f_.statusText());

    progress(Texts::tr("Orbet起動します....."));
    f_.applyLayout();

    st.showEnabled = true;
    if (!st.startupFileShown) f_.panes().clearPicture();
    f_.TV->setEditTriggers(QAbstractItemView::NoEditTriggers);
    if (st.resident)
        f_.tray().sendToTray();
    else
        f_.window().show();
    f_.Combo2->show();
    f_.Combo2->raise();
    traceStartupStep("window shown");
    // Wine's cold start runs while the user looks at the window, not when
    // the first Windows-decoded picture is asked for.
    QTimer::singleShot(0, &f_.window(), [this] { f_.plugins().startHosts(); });
    loadWaitingPlugins();
    if (splash_) {
        splash_->close();
        splash_.reset();
    }
    f_.startMessages().release();
}

void Startup::Timer1_Timer() {
    ProgramState& st = f_.state();
    if (st.startupFileShown) {
        st.startupFileShown = false;
        return;
    }
    // A large folder still being listed is read again on the next tick.
    if (f_.File1->isListing()) return;
    f_.Combo2->raise();
    f_.Timer1->stop();
    // The file the user opened (or the restored one) stays chosen, and
    // stays on show while the folder still lists it. A named file waiting
    // for its plug-in has no other file chosen in its place.
    if (awaited_.isEmpty()) f_.navigator().RereadFolder();
    traceStartupStep("Timer1");
}

void Startup::LoadPlugins() {
    f_.plugins().loadPlugins(f_.state().pluginFolder, [this](const QString& text) { progress(text); });
}

void Startup::FreePlugins() {
    f_.plugins().freePlugins();
}

void Startup::loadWaitingPlugins() {
    if (f_.plugins().waitingCount() == 0) return;
    // Windows plug-ins waiting for Wine's new prefix join the list once
    // their host runs; the window is not held up meanwhile.
    auto* poll = new QTimer(&f_.window());
    poll->setInterval(250);
    MainParts& f = f_;
    QObject::connect(poll, &QTimer::timeout, &f.window(), [this, &f, poll] {
        PluginRegistry& plugins = f.plugins();
        // Whether the user has chosen a file or another folder meanwhile,
        // seen before the list is read again.
        const QString name = awaited_.mid(awaited_.lastIndexOf(u'/') + 1);
        const bool untouched = !awaited_.isEmpty() && f.File1->listIndex() < 0 &&
                               folders::join(f.File1->path(), name) == awaited_;
        if (plugins.loadWaiting()) {
            if (f.Combo1->currentIndex() == 0)
                f.File1->setPattern(builtInFilterPattern(0, plugins.patternSuffix()));
            showAwaited(untouched);
        }
        if (plugins.waitingCount() == 0) {
            awaited_.clear();
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
}

void Startup::showAwaited(bool untouched) {
    if (awaited_.isEmpty()) return;
    const QString name = awaited_.mid(awaited_.lastIndexOf(u'/') + 1);
    if (!untouched || folders::join(f_.File1->path(), name) != awaited_) {
        awaited_.clear();
        return;
    }
    if (!f_.File1->wouldList(name)) {
        // Its plug-in is still to come.
        if (!QDir::match(f_.plugins().suffixMasks(), name)) return;
        // Now the file's kind decides: the first filter lists every
        // plug-in's pictures.
        if (f_.Combo1->currentIndex() != 0) f_.Combo1->setCurrentIndex(0);
    }
    f_.navigator().afterListing([this, name] {
        const int row = f_.File1->rowOf(name);
        if (row < 0) return; // its plug-in is still to come
        awaited_.clear();
        f_.File1->setListIndex(row);
    });
}

void Startup::selectionWalk(const QString& path) {
    // The dropped file is shown by the caller; the list follows it once listed.
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    f_.navigator().afterListing([this, path, name] {
        FileListBox& list = *f_.File1;
        const int row = folders::join(f_.Dir1->path(), name) == path ? list.rowOf(name) : -1;
        // Where the file is not listed the walk ends on the last entry.
        const int at = row >= 0 ? row : list.listCount() - 1;
        if (at >= 0) list.setListIndex(at);
    });
}

bool Startup::loadDropped(const QString& path) {
    Panes& panes = f_.panes();
    auto select = [&](int filter) {
        if (f_.Combo1->currentIndex() == filter)
            f_.navigator().Combo1_Click(filter);
        else
            f_.Combo1->setCurrentIndex(filter);
    };
    switch (ClassifyExtension(path)) {
    case ExtensionClass::Picture:
        select(kPictureFilter);
        f_.File1->setListIndex(0);
        selectionWalk(path);
        return panes.loadPicture(path);
    case ExtensionClass::WebPage:
        selectionWalk(path);
        select(kWebFilter);
        f_.File1->setListIndex(0);
        return panes.navigateWeb(path);
    case ExtensionClass::RichText:
        select(kTextFilter);
        selectionWalk(path);
        return panes.loadText(path, true);
    case ExtensionClass::PlainText:
        select(kTextFilter);
        selectionWalk(path);
        return panes.loadText(path, false);
    case ExtensionClass::Other:
        select(kProgramFilter);
        selectionWalk(path);
        return panes.loadText(path, false);
    case ExtensionClass::Media:
        select(kMediaFilter);
        selectionWalk(path);
        f_.display().mediaOpenSequence(path);
        return true;
    }
    return false;
}

void Startup::ComB(const QString& path) {
    if (path.isEmpty()) return;
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString folder = path.left(slash + 1);
    bool ok = slash >= 0 && f_.Dir1->setPath(folder);
    if (ok) {
        f_.File1->setPath(f_.Dir1->path());
        ok = loadDropped(path);
    }
    if (!ok) f_.prompter().message(QStringLiteral("Command Line Error!"), f_.state().title, Buttons::Ok);
}

} // namespace orbet
