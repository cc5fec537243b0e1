#pragma once

#include <array>

#include <QHash>
#include <QMainWindow>
#include <QString>

#include "app/core/MenuTable.h"
#include "app/core/StartupRules.h"
#include "app/ui/HeldPrompter.h"
#include "favourites/FavouritesStore.h"
#include "platform/ProgramState.h"
#include "plugins/UserFilterTable.h"
#include "plugins/host/PluginRegistry.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;
class QStatusBar;
class QTextEdit;
class QTimer;
class QToolBar;
class QTreeWidget;
class QWidget;

namespace orbet {

class Commands;
class DriveListBox;
class FileListBox;
class FolderListBox;
class MediaControl;
class MediaPanel;
class MinWeb;
class Navigator;
class Panes;
class PathInput;
class PictureBox;
class Prompter;
class SettingsBinder;
class ShowController;
class ShowDispatch;
class Shutdown;
class Splitter;
class Startup;
class TextPane;
class Tray;
class WebPane;

// The main window as its operations see it: the controls (named as
// everywhere else in the program, as members and objectNames), the
// program-wide state and stores, the prompter, the menu's commands, the
// window's own layout and status lines, and the other operations. The
// window (Form1) builds the parts and wires their events; the operations
// reach the window only through here, so none of them depends on it.
class MainParts {
  public:
    MainParts(QMainWindow& window, Prompter& prompter, const StartRequest& request);
    virtual ~MainParts();
    MainParts(const MainParts&) = delete;
    MainParts& operator=(const MainParts&) = delete;

    // The top-level window, for what every window does (show, hide, move,
    // title, parent of the dialogs it opens).
    QMainWindow& window() const { return window_; }
    Prompter& prompter() { return prompter_; }
    // The start holds its plain messages until the window is up.
    HeldPrompter& startMessages() { return held_; }
    ProgramState& state() { return state_; }
    FavouritesStore& favourites() { return favourites_; }
    UserFilterTable& userFilters() { return userFilters_; }
    PluginRegistry& plugins() { return plugins_; }
    const StartRequest& startRequest() const { return request_; }

    ShowController& shows() { return *shows_; }
    Startup& startup() { return *startup_; }
    SettingsBinder& settings() { return *settings_; }
    Shutdown& shutdown() { return *shutdown_; }
    Navigator& navigator() { return *navigator_; }
    Panes& panes() { return *panes_; }
    ShowDispatch& display() { return *display_; }
    Tray& tray() { return *tray_; }
    Commands& commands() { return *commands_; }
    Splitter& splitter() { return *splitter_; }
    TextPane& textPane() { return *textPane_; }
    MediaPanel& mediaPanel() { return *mediaPanel_; }
    PathInput& pathInput() { return *pathInput_; }
    MinWeb* miniWeb() const { return miniWeb_; }

    QAction* action(Command command) const { return actions_[std::size_t(command)]; }
    QMenu* menu(const char* name) const;
    bool isChecked(Command command) const;
    void setChecked(Command command, bool on);

    // Places the controls for the current size and bar position.
    void applyLayout();
    // Places the display panes and sets the picture's scroll ranges.
    void layoutDisplay();
    int barTop() const { return barTop_; }
    void setBarTop(int twips);
    // Window geometry in twips, as the settings and rules see it: the outer
    // window's left and top, the client's width and height.
    TwipsRect rectTwips() const;
    void setRectTwips(const TwipsRect& r);
    int file1HeightTwips() const;
    void setStatusText(const QString& text);
    // The information label; its tool tip follows its caption.
    void setInfo(const QString& text);
    QString statusText() const;
    void setBackColour();
    // The filter combo's user entries follow the table again.
    void refillUserFilters();
    // The attribute switches of the menu applied to the file list.
    void syncAttributeFilters();

    QToolBar* TB = nullptr;
    QComboBox* Combo2 = nullptr;
    QComboBox* Combo1 = nullptr;
    DriveListBox* Drive1 = nullptr;
    FolderListBox* Dir1 = nullptr;
    FolderListBox* Dir2 = nullptr;
    QTreeWidget* TV = nullptr;
    FileListBox* File1 = nullptr;
    QLabel* Bytes = nullptr;
    QLabel* Info = nullptr;
    QWidget* Bar = nullptr;
    QWidget* Tmp = nullptr;
    QWidget* MCC = nullptr;
    QStatusBar* STB = nullptr;
    QWidget* BP = nullptr;
    PictureBox* MP = nullptr;
    QScrollBar* TS = nullptr;
    QScrollBar* YS = nullptr;
    QTextEdit* RT = nullptr;
    WebPane* WB1 = nullptr;
    MediaControl* MMC = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command8 = nullptr;
    QCheckBox* Check1 = nullptr;
    QLabel* NoeP = nullptr;
    QLabel* OPM = nullptr;
    QLabel* Label1 = nullptr;
    QTimer* Timer1 = nullptr;

  protected:
    static void place(QWidget* w, const TwipsRect& r);

    // Set by the window as it builds; it owns what they point to.
    QWidget* central_ = nullptr;
    std::array<QAction*, kCommandCount> actions_{};
    QHash<QString, QMenu*> menus_;
    ShowController* shows_ = nullptr;
    Panes* panes_ = nullptr;
    ShowDispatch* display_ = nullptr;
    Navigator* navigator_ = nullptr;
    SettingsBinder* settings_ = nullptr;
    Shutdown* shutdown_ = nullptr;
    Tray* tray_ = nullptr;
    Startup* startup_ = nullptr;
    Commands* commands_ = nullptr;
    Splitter* splitter_ = nullptr;
    TextPane* textPane_ = nullptr;
    MediaPanel* mediaPanel_ = nullptr;
    PathInput* pathInput_ = nullptr;
    MinWeb* miniWeb_ = nullptr;

    QMainWindow& window_;
    HeldPrompter held_;
    Prompter& prompter_;
    StartRequest request_;
    ProgramState state_;
    FavouritesStore favourites_;
    UserFilterTable userFilters_;
    PluginRegistry plugins_;
    int barTop_;
};

} // namespace orbet
