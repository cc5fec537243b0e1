#pragma once

#include <array>
#include <memory>

#include <QHash>
#include <QMainWindow>

#include "app/core/MenuTable.h"
#include "app/core/StartupRules.h"
#include "favourites/FavouritesStore.h"
#include "platform/ProgramState.h"
#include "plugins/UserFilterTable.h"
#include "plugins/host/PluginRegistry.h"

class QAction;
class QCheckBox;
class QComboBox;
class QPushButton;
class QLabel;
class QMenu;
class QScrollBar;
class QStatusBar;
class QTextEdit;
class QTimer;
class QToolBar;
class QTreeWidget;

namespace orbet {

class Prompter;
class ShowController;
class PictureBox;
class WebPane;
class MediaControl;
class ShowDispatch;
class FileListBox;
class FolderListBox;
class DriveListBox;
class Startup;
class SettingsBinder;
class Shutdown;
class Navigator;
class Panes;
class Tray;
class Commands;
class Splitter;
class TextPane;
class MediaPanel;
class PathInput;
class MinWeb;

// The main window. It owns the controls (named as everywhere else in the
// program, as members and objectNames), the program-wide state, the
// favourites and the user filters, and wires control events to the
// operations, which live in their own classes.
class Form1 : public QMainWindow {
    Q_OBJECT
  public:
    Form1(Prompter& prompter, const StartRequest& request, QWidget* parent = nullptr);
    ~Form1() override;

    // Runs the start-up sequence (the window's load).
    void load();

    Prompter& prompter() { return prompter_; }
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
    bool isChecked(Command command) const { return action(command)->isChecked(); }
    void setChecked(Command command, bool on) { action(command)->setChecked(on); }

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

  signals:
    void activated();

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void createControls();
    void createMediaPanel();
    void createMenus();
    void wireEvents();

    Prompter& prompter_;
    StartRequest request_;
    ProgramState state_;
    FavouritesStore favourites_;
    UserFilterTable userFilters_;
    PluginRegistry plugins_;
    std::array<QAction*, kCommandCount> actions_{};
    QHash<QString, QMenu*> menus_;
    QWidget* central_ = nullptr;
    int barTop_;

    ShowController* shows_ = nullptr;
    std::unique_ptr<Panes> panes_;
    std::unique_ptr<ShowDispatch> display_;
    std::unique_ptr<Navigator> navigator_;
    std::unique_ptr<SettingsBinder> settings_;
    std::unique_ptr<Shutdown> shutdown_;
    std::unique_ptr<Tray> tray_;
    std::unique_ptr<Startup> startup_;
    Commands* commands_ = nullptr;
    Splitter* splitter_ = nullptr;
    TextPane* textPane_ = nullptr;
    MediaPanel* mediaPanel_ = nullptr;
    PathInput* pathInput_ = nullptr;
    MinWeb* miniWeb_ = nullptr;
};

} // namespace orbet
