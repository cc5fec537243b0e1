#include "app/ui/SettingsBinder.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "app/core/ShowController.h"
#include "app/core/StartupRules.h"
#include "app/ui/MainParts.h"
#include "app/ui/Navigator.h"
#include "app/ui/ShowDispatch.h"
#include "display/FileKinds.h"
#include "navigation/FileListing.h"
#include "navigation/ui/ListControls.h"
#include "platform/AtomicWrite.h"
#include "platform/NativePath.h"
#include "platform/Numbers.h"
#include "platform/ProgramFolders.h"
#include "platform/Prompter.h"
#include "platform/SpecialFolders.h"
#include "platform/StartupTrace.h"
#include "platform/Twips.h"
#include "platform/Volumes.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(SettingsBinder)
};
} // namespace

QString SettingsBinder::iniPath() {
    return folders::join(folders::settingsFolder(), QStringLiteral("picsys.ini"));
}

QString SettingsBinder::vafPath() {
    return folders::join(folders::settingsFolder(), QStringLiteral("Vae011.vaf"));
}

namespace {

// Far more than any settings or filter file the program writes; a larger
// one is not ours.
constexpr qint64 kSettingsFileLimit = 4 * 1024 * 1024;

// Only a regular file of a sane size is read: a FIFO of that name would
// block the start for good, and a link to a device would never end.
QByteArray readFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kSettingsFileLimit) return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.read(kSettingsFileLimit);
}

Qt::WindowStates windowStateFor(int value) {
    if (value == 1) return Qt::WindowMinimized;
    if (value == 2) return Qt::WindowMaximized;
    return Qt::WindowNoState;
}

} // namespace

Settings SettingsBinder::snapshot() const {
    const ProgramState& st = f_.state();
    Settings s;
    s.lastPath = f_.Dir1->path();
    const Qt::WindowStates ws = f_.window().windowState();
    s.windowState = ws & Qt::WindowMinimized ? 1 : ws & Qt::WindowMaximized ? 2 : 0;
    s.left = st.remembered.left;
    s.top = st.remembered.top;
    s.width = st.remembered.width;
    s.height = st.remembered.height;
    s.lastFileList = std::int16_t(f_.File1->listIndex());
    s.lastFilter = std::int16_t(f_.Combo1->currentIndex());
    s.bar = float(f_.barTop());
    s.autoMode = f_.isChecked(Command::SetAutoPD);
    s.setAutoH = f_.isChecked(Command::ZenHi);
    s.notIniBat = f_.isChecked(Command::InBaNotD);
    s.txtEdi = f_.isChecked(Command::EdiOK);
    s.autoPlay = f_.isChecked(Command::SetAuD);
    s.autoRep = f_.isChecked(Command::SetRepD);
    s.autoRepv2 = f_.isChecked(Command::SetAuRepD);
    s.strSize = st.strSize;
    s.archive = f_.isChecked(Command::MunuASet);
    s.hide = f_.isChecked(Command::Hiddemset);
    s.system = f_.isChecked(Command::SYSSet);
    s.slideShowTimer = st.slideShowTimer;
    s.backcolorR = st.backcolorR;
    s.backcolorG = st.backcolorG;
    s.backcolorB = st.backcolorB;
    s.rnd = st.rnd;
    s.nodeExpand = st.nodeExpand;
    s.nodeClose = st.nodeClose;
    s.minWindowOnMainWindow = st.minWindowOnMainWindow;
    s.minWindowSize = st.minWindowSize;
    s.minWindowSizeType = st.minWindowSizeType;
    s.hideDirectory = st.hideDirectory;
    return s;
}

bool SettingsBinder::selectFilter(int index) {
    if (index < 0 || index >= f_.Combo1->count()) return false;
    if (f_.Combo1->currentIndex() == index)
        f_.navigator().Combo1_Click(index);
    else
        f_.Combo1->setCurrentIndex(index);
    return true;
}

void SettingsBinder::applyKey(const SettingKey& key, const Settings& s) {
    ProgramState& st = f_.state();
    const QLatin1String name(key.name);
    struct MenuKey {
        const char* key;
        Command item;
        bool Settings::*field;
    };
    static const MenuKey menuKeys[] = {
        {"AutoMode", Command::SetAutoPD, &Settings::autoMode},
        {"SetAutoH", Command::ZenHi, &Settings::setAutoH},
        {"NotIniBat", Command::InBaNotD, &Settings::notIniBat},
        {"TxtEdi", Command::EdiOK, &Settings::txtEdi},
        {"AutoPlay", Command::SetAuD, &Settings::autoPlay},
        {"AutoRep", Command::SetRepD, &Settings::autoRep},
        {"AutoRepv2", Command::SetAuRepD, &Settings::autoRepv2},
        {"Archive", Command::MunuASet, &Settings::archive},
        {"Hide", Command::Hiddemset, &Settings::hide},
        {"System", Command::SYSSet, &Settings::system},
    };
    for (const MenuKey& m : menuKeys) {
        if (name != QLatin1String(m.key)) continue;
        f_.setChecked(m.item, s.*m.field);
        return;
    }
    if (name == QLatin1String("WisndowStatas"))
        f_.window().setWindowState(windowStateFor(s.windowState));
    else if (name == QLatin1String("Left"))
        st.remembered.left = s.left;
    else if (name == QLatin1String("Top"))
        st.remembered.top = s.top;
    else if (name == QLatin1String("Width"))
        st.remembered.width = s.width;
    else if (name == QLatin1String("Height"))
        st.remembered.height = s.height;
    else if (name == QLatin1String("LastFilter"))
        selectFilter(s.lastFilter);
    else if (name == QLatin1String("Bar"))
        f_.setBarTop(int(num::roundHalfEven(s.bar)));
    else if (name == QLatin1String("StrSize"))
        st.strSize = s.strSize;
    else if (name == QLatin1String("SlideShowTimer"))
        st.slideShowTimer = s.slideShowTimer;
    else if (name == QLatin1String("BackcolorR"))
        st.backcolorR = s.backcolorR;
    else if (name == QLatin1String("BackcolorG"))
        st.backcolorG = s.backcolorG;
    else if (name == QLatin1String("BackcolorB"))
        st.backcolorB = s.backcolorB;
    else if (name == QLatin1String("Rnd"))
        st.rnd = s.rnd;
    else if (name == QLatin1String("NodeExpand"))
        st.nodeExpand = s.nodeExpand;
    else if (name == QLatin1String("NodeClose"))
        st.nodeClose = s.nodeClose;
    else if (name == QLatin1String("MinWindow_on_MainWindow"))
        st.minWindowOnMainWindow = s.minWindowOnMainWindow;
    else if (name == QLatin1String("MinWindowSize"))
        st.minWindowSize = s.minWindowSize;
    else if (name == QLatin1String("MinWindowSizeType"))
        st.minWindowSizeType = s.minWindowSizeType;
    else if (name == QLatin1String("HideDirectory"))
        st.hideDirectory = s.hideDirectory;
}

void SettingsBinder::OpenF() {
    ProgramState& st = f_.state();
    const QString ini = iniPath();
    // A first run has no settings to restore, but a file or folder it was
    // opened on (the desktop's "open with" on a fresh install) is still the
    // one the user asked to see: the command line is applied over the
    // defaults.
    if (!QFileInfo(ini).isFile()) {
        // Nothing to restore the window from: the minimum size would cut
        // the panes and the toolbar down to nothing.
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            st.remembered = firstRunWindowRect(twips::fromPixels(screen->availableGeometry()));
            f_.setRectTwips(st.remembered);
        }
        if (f_.shows().commandLine().kind == CommandLineTarget::Kind::None) return;
    }
    f_.Combo1->setCurrentIndex(0);

    const QStringList lines = settingsLines(readFile(ini));
    const RawSettings raw = readRawSettings(lines);
    f_.favourites().load(lines);

    QString lastPath = raw.value(u"LastPath").value_or(QString());
    if (lastPath.isEmpty() || !pathFacts(lastPath).isDir) lastPath = volumeRootOf(SpecialDir().windows());
    if (!lastPath.isEmpty()) {
        f_.Dir1->setPath(lastPath);
        f_.File1->setPath(f_.Dir1->path());
    }

    // Each value that cannot be taken is skipped; the rest still apply.
    Settings values = snapshot();
    const auto& keys = settingKeys();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const SettingKey& key = keys[i];
        const QLatin1String name(key.name);
        if (name == QLatin1String("LastPath") || name == QLatin1String("LastFileList")) continue;
        const std::optional<QString>& v = raw.values[i];
        if (!v || !applyRawValue(values, key, *v)) continue;
        applyKey(key, values);
    }
    f_.syncAttributeFilters();
    f_.setBackColour();

    f_.userFilters().deserialize(readFile(vafPath()));
    f_.refillUserFilters();
    const QString filterText = raw.value(u"LastFilter").value_or(QString());
    const auto filter = num::toInt16(num::val(filterText));
    selectFilter(filterText.isEmpty() || !filter ? 0 : *filter);

    if (f_.window().windowState() == Qt::WindowNoState) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QSize size = screen ? screen->size() : QSize(1024, 768);
        const TwipsRect r =
            restoredWindowRect(st.remembered, f_.file1HeightTwips(), twips::fromPixels(size.width()),
                               twips::fromPixels(size.height()));
        f_.setRectTwips(r);
        st.remembered = r;
    }

    // The command line may replace the restored folder and file.
    int lastFileList = 0;
    if (const auto& v = raw.value(u"LastFileList"); v && !v->isEmpty()) {
        const auto n = num::toInt16(num::val(*v));
        lastFileList = n ? *n : 0;
    }
    const CommandLineTarget& target = f_.shows().commandLine();
    bool awaited = false; // nothing else is chosen in its place
    if (target.kind == CommandLineTarget::Kind::File) {
        f_.Dir2->setPath(target.folder);
        lastPath = target.folder;
        f_.File1->setPath(target.folder);
        // A file the restored filter hides is shown under the filter of its
        // kind, as a dropped file is, rather than some other file.
        if (!f_.File1->wouldList(target.fileName)) {
            const ExtensionClass kind = ClassifyExtension(target.fileName);
            // A kind no filter knows may be a Windows plug-in's still on its
            // way: the filter stays until the plug-ins are in, and the file
            // is shown then.
            awaited = kind == ExtensionClass::Other && f_.plugins().waitingCount() > 0;
            const int filter = FilterEntryForClass(kind);
            if (awaited)
                awaitingPlugins_ = folders::join(target.folder, target.fileName);
            else if (filter != f_.Combo1->currentIndex() && selectFilter(filter))
                f_.File1->setPath(target.folder);
        }
        lastFileList = f_.File1->wouldList(target.fileName) ? f_.File1->rowOf(target.fileName) : -1;
    } else if (target.kind == CommandLineTarget::Kind::Folder) {
        lastPath = target.folder;
    }
    traceStartupStep("settings applied");
    if (!lastPath.isEmpty()) f_.navigator().OpenTreePath(lastPath);
    traceStartupStep("tree walked");
    if (f_.File1->isListing()) {
        // A large folder is still being listed: the file named on the command
        // line is shown now, and the list catches up with it.
        const bool named =
            target.kind == CommandLineTarget::Kind::File && f_.File1->wouldList(target.fileName) &&
            folders::join(target.folder, target.fileName) == folders::join(f_.File1->path(), target.fileName);
        if (named) {
            st.showEnabled = true;
            st.currentFilePath = folders::join(f_.File1->path(), target.fileName);
            const PathFacts info = pathFacts(st.currentFilePath);
            if (info.isFile) f_.Bytes->setText(FSize(info.size));
            f_.display().ShowFile(st.currentFilePath);
            st.startupFileShown = true;
        }
        const QString name = named ? target.fileName : QString();
        f_.navigator().afterListing([this, name, lastFileList, awaited] {
            FileListBox& list = *f_.File1;
            const int row = name.isEmpty() ? lastFileList : list.rowOf(name);
            if (!name.isEmpty() && row >= 0) {
                list.selectQuietly(row);
                f_.setStatusText(f_.navigator().objectsText(f_.state().currentFilePath));
            } else if (!awaited) {
                list.setListIndex(row >= 0 && row < list.listCount() ? row : (list.listCount() > 0 ? 0 : -1));
            }
        });
        f_.setStatusText(f_.navigator().objectsText(st.currentFilePath));
        return;
    }
    const int count = f_.File1->listCount();
    if (lastFileList >= 0 && lastFileList < count)
        f_.File1->setListIndex(lastFileList);
    else
        f_.File1->setListIndex(count > 0 && !awaited ? 0 : -1);

    if (f_.File1->listIndex() >= 0) {
        st.showEnabled = true;
        st.currentFilePath = folders::join(f_.File1->path(), f_.File1->fileName());
        const PathFacts info = pathFacts(st.currentFilePath);
        if (info.isFile) f_.Bytes->setText(FSize(info.size));
        f_.display().ShowFile(st.currentFilePath);
        st.startupFileShown = true;
    }
    f_.setStatusText(f_.navigator().objectsText(st.currentFilePath));
}

namespace {

bool writeAtomically(const QString& path, const QByteArray& bytes, QString& error) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    // The user may keep the settings elsewhere through a link of their own.
    return writeFileAtomically(path, bytes, &error, LinkAtTarget::FollowOwn);
}

} // namespace

bool SettingsBinder::SaveSettings() {
    const QByteArray ini = formatSettings(snapshot(), f_.favourites().save());
    const QByteArray vaf = f_.userFilters().serialize();
    bool ok = true;
    for (const auto& [path, bytes] : {std::pair{iniPath(), ini}, std::pair{vafPath(), vaf}}) {
        QString error;
        if (writeAtomically(path, bytes, error)) continue;
        ok = false;
        f_.prompter().message(Texts::tr("設定を保存できませんでした。\r\n") + path + QStringLiteral("\r\n") +
                                  error,
                              f_.state().title, Buttons::Ok, Icon::Critical);
    }
    return ok;
}

} // namespace orbet
