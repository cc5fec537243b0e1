#pragma once

#include <optional>
#include <vector>

#include <QString>

namespace orbet {

// Every item of the menu tree that does something, in the order the menus
// show them; the table below names its items by these, so a command is a
// word the compiler checks, never a text looked up at run time.
// clang-format off
#define ORBET_COMMANDS(X)                                                                                   \
    /* File */                                                                                              \
    X(HexwellterOpen) X(Pic1) X(PasAng) X(PassHuku) X(Ang) X(Huk) X(Kaku) X(Finfomaintion) X(DirFL)         \
    X(NowFlistToFL) X(OPPR) X(Openfile) X(FiltSet) X(FiltEdi) X(pri) X(Cop) X(del) X(exi)                   \
    /* Folder */                                                                                            \
    X(FoInfo) X(DriveInfo) X(directdir) X(makedir) X(XCopy) X(MoveFolder) X(ToWin) X(ToDesk) X(ToMyDoc)     \
    X(Fmoju) X(ExpNow) X(Expl) X(AddO) X(CallO) X(chekO)                                                    \
    /* View */                                                                                              \
    X(taskTin) X(ZenBit) X(FitPane) X(minwindow) X(MiniWebGo) X(Dexit) X(OutF) X(SPlug) X(ReViewS) X(OptionS)\
    /* Program */                                                                                           \
    X(OPRT)                                                                                                 \
    /* Settings */                                                                                          \
    X(SetAutoPD) X(ZenHi) X(InBaNotD) X(EdiOK) X(NomSizeSet) X(SetAuD) X(SetAuRepD) X(SetRepD) X(MunuASet)  \
    X(Hiddemset) X(SYSSet) X(STopJ)                                                                         \
    /* Help */                                                                                              \
    X(ver) X(HLPPic) X(HLP)                                                                                 \
    /* the pop-ups */                                                                                       \
    X(rtfsa) X(Re) X(minws) X(minwebs) X(exit) X(VrIOnfo) X(IHelp) X(InView)
// clang-format on

enum class Command {
#define ORBET_COMMAND_ENUM(name) name,
    ORBET_COMMANDS(ORBET_COMMAND_ENUM)
#undef ORBET_COMMAND_ENUM
};

inline constexpr int kCommandCount = 0
#define ORBET_COMMAND_COUNT(name) +1
    ORBET_COMMANDS(ORBET_COMMAND_COUNT)
#undef ORBET_COMMAND_COUNT
    ;

// The item's object name, as the window and its tests know it.
const char* commandName(Command command);

// One item of the menu tree, in display order. depth 0 entries are the
// top-level menus (and the two pop-ups); a separator has the caption "-".
struct MenuEntry {
    int depth;
    const char* name;
    QString caption;
    const char* shortcut; // QKeySequence text, or nullptr
    bool checked;         // initial check mark; only toggling items carry one
    bool checkable;
    std::optional<Command> command; // none for menus and separators
    bool built = true;              // false: shown, but disabled until its command exists
};

const std::vector<MenuEntry>& menuTable();

// The caption as shown, in the language in force; `caption` keeps the
// Japanese source text whatever the language.
QString menuCaption(const MenuEntry& entry);

} // namespace orbet
