#include "app/ui/OptionCommands.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QTextEdit>

#include "app/core/ShowController.h"
#include "app/ui/MainParts.h"
#include "app/ui/Panes.h"
#include "app/ui/ShowDispatch.h"
#include "display/ExifOrientation.h"
#include "display/ui/PictureBox.h"
#include "options/ui/OptionForm.h"
#include "platform/Language.h"
#include "platform/ProgramFolders.h"
#include "platform/Prompter.h"
#include "platform/UserStore.h"

namespace orbet::options {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(OptionCommands)
};
} // namespace

namespace {

const QString kSection = QStringLiteral("SusiePlugin");
const QString kKey = QStringLiteral("Path");
const QString kOrientationSection = QStringLiteral("Picture");
const QString kOrientationKey = QStringLiteral("ExifOrientation");

// Menu items that hold an option as their check mark: the text and file
// list items (steps 4 and 5), then the audio items (step 8).
struct MenuOption {
    Command item;
    bool OptionValues::*field;
};
constexpr MenuOption kListOptions[] = {
    {Command::InBaNotD, &OptionValues::notIniBat}, {Command::EdiOK, &OptionValues::txtEdi},
    {Command::MunuASet, &OptionValues::archive},   {Command::Hiddemset, &OptionValues::hide},
    {Command::SYSSet, &OptionValues::system},
};
constexpr MenuOption kAudioOptions[] = {{Command::SetAuD, &OptionValues::autoPlay},
                                        {Command::SetAuRepD, &OptionValues::autoRepv2},
                                        {Command::SetRepD, &OptionValues::autoRep}};

// Steps 2 to 8; the fitting is given as its two check marks so that a
// rollback restores them exactly.
void applyValues(MainParts& f, const OptionValues& v, bool autoPD, bool zenHi) {
    ProgramState& st = f.state();
    f.setChecked(Command::SetAutoPD, false);
    f.setChecked(Command::ZenHi, false);
    f.setChecked(Command::SetAutoPD, autoPD);
    f.setChecked(Command::ZenHi, zenHi);
    st.slideShowTimer = v.slideShowTimer;
    st.strSize = v.strSize;
    // The list and the text pane follow their check marks here, whatever
    // else listens to the items.
    for (const MenuOption& m : kListOptions)
        f.setChecked(m.item, v.*m.field);
    f.RT->setReadOnly(!v.txtEdi);
    f.syncAttributeFilters();
    st.rnd = v.rnd;
    st.nodeExpand = v.nodeExpand;
    st.nodeClose = v.nodeClose;
    st.minWindowOnMainWindow = v.minWindowOnMainWindow;
    st.minWindowSize = v.minWindowSize;
    st.hideDirectory = v.hideDirectory;
    st.minWindowSizeType = v.minWindowSizeType;
    st.backcolorR = v.backcolorR;
    st.backcolorG = v.backcolorG;
    st.backcolorB = v.backcolorB;
    f.setBackColour();
    for (const MenuOption& m : kAudioOptions)
        f.setChecked(m.item, v.*m.field);
}

// Kept in the per-user store so that the settings file stays as older
// installations write it. Pictures decoded ahead the other way are dropped
// and the shown one is shown again.
void applyOrientation(MainParts& f, bool on) {
    if (!writeStoreValue(kOrientationSection, kOrientationKey,
                         on ? QStringLiteral("1") : QStringLiteral("0"))) {
        f.prompter().message(Texts::tr("EXIFの回転情報の設定を保存できませんでした。\r\n") + userStoreFile(),
                             f.state().title, Buttons::Ok, Icon::Critical);
        return;
    }
    setFollowsStoredOrientation(on);
    f.shows().readAhead().cancel();
    if (!f.MP->isEmpty()) f.display().ShowFile(f.state().currentFilePath);
}

} // namespace

bool storedOrientationFollowed() {
    return readStoreValue(kOrientationSection, kOrientationKey) != QStringLiteral("0");
}

OptionValues current(MainParts& f) {
    const ProgramState& st = f.state();
    OptionValues v;
    v.fit = f.isChecked(Command::ZenHi)       ? PictureFit::KeepRatio
            : f.isChecked(Command::SetAutoPD) ? PictureFit::Whole
                                              : PictureFit::AsIs;
    v.slideShowTimer = st.slideShowTimer;
    v.strSize = st.strSize;
    for (const MenuOption& m : kListOptions)
        v.*m.field = f.isChecked(m.item);
    for (const MenuOption& m : kAudioOptions)
        v.*m.field = f.isChecked(m.item);
    v.rnd = st.rnd;
    v.nodeExpand = st.nodeExpand;
    v.nodeClose = st.nodeClose;
    v.minWindowOnMainWindow = st.minWindowOnMainWindow;
    v.minWindowSize = st.minWindowSize;
    v.minWindowSizeType = st.minWindowSizeType;
    v.hideDirectory = st.hideDirectory != 0 ? 1 : 0;
    v.backcolorR = st.backcolorR;
    v.backcolorG = st.backcolorG;
    v.backcolorB = st.backcolorB;
    v.pluginFolder = readStoreValue(kSection, kKey);
    v.followOrientation = followsStoredOrientation();
    v.language = storedLanguageChoice();
    return v;
}

bool apply(MainParts& f, const OptionValues& v) {
    // What OK replaces, kept exactly (both fitting marks, the raw folder
    // flag) so that a failed last step can put it all back.
    OptionValues before = current(f);
    before.hideDirectory = f.state().hideDirectory;
    const bool autoPD = f.isChecked(Command::SetAutoPD), zenHi = f.isChecked(Command::ZenHi);

    applyValues(f, v, v.fit == PictureFit::Whole, v.fit == PictureFit::KeepRatio);
    // Step 9: the plug-in folder, read again at the next start.
    if (v.pluginFolder == before.pluginFolder || writeStoreValue(kSection, kKey, v.pluginFolder)) {
        if (v.followOrientation != before.followOrientation) applyOrientation(f, v.followOrientation);
        if (v.language != before.language && !storeLanguageChoice(v.language))
            f.prompter().message(
                Texts::tr("表示言語の設定を保存できませんでした。\r\n%1").arg(userStoreFile()),
                f.state().title, Buttons::Ok, Icon::Critical);
        return true;
    }
    applyValues(f, before, autoPD, zenHi);
    f.prompter().message(
        Texts::tr("SusiePluginの有る場所を保存できませんでした。設定は変更されていません。\r\n") +
            userStoreFile(),
        f.state().title, Buttons::Ok, Icon::Critical);
    return false;
}

std::unique_ptr<OptionForm> makeForm(MainParts& f) {
    OptionHooks hooks;
    hooks.apply = [&f](const OptionValues& v) { return apply(f, v); };
    hooks.storeBlackBackground = [&f] {
        ProgramState& st = f.state();
        st.backcolorR = st.backcolorG = st.backcolorB = 0;
    };
    hooks.browserStart = folders::join(folders::programFolder(), QStringLiteral("susie"));
    return std::make_unique<OptionForm>(f.prompter(), f.state().title, current(f), std::move(hooks),
                                        &f.window());
}

void OptionS(MainParts& f) {
    makeForm(f)->exec();
}

void wire(MainParts& f) {
    QObject::connect(f.action(Command::OptionS), &QAction::triggered, &f.window(), [&f] { OptionS(f); });
}

} // namespace orbet::options
