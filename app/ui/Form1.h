#pragma once

#include <memory>

#include <QMainWindow>

#include "app/ui/MainParts.h"

namespace orbet {

// The main window: it builds the controls and the operations, which live in
// their own classes and see the window as its parts, and wires the
// controls' and the menu's events to them.
class Form1 : public QMainWindow, public MainParts {
    Q_OBJECT
  public:
    Form1(Prompter& prompter, const StartRequest& request, QWidget* parent = nullptr);
    ~Form1() override;

    // Runs the start-up sequence (the window's load).
    void load();

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

    std::unique_ptr<Panes> ownPanes_;
    std::unique_ptr<ShowDispatch> ownDisplay_;
    std::unique_ptr<Navigator> ownNavigator_;
    std::unique_ptr<SettingsBinder> ownSettings_;
    std::unique_ptr<Shutdown> ownShutdown_;
    std::unique_ptr<Tray> ownTray_;
    std::unique_ptr<Startup> ownStartup_;
};

} // namespace orbet
