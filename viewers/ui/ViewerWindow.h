#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include "platform/ProgramState.h"
#include "viewers/ListSteps.h"
#include "viewers/SlideShow.h"
#include "viewers/ViewerKeys.h"

class QAction;
class QMenu;
class QTimer;

namespace orbet {

class Prompter;
class ViewerHost;

// What the full-screen and the minimum window share: stepping through the
// main window's file list, the slideshow timer `Slide`, the pop-up menu
// `PPP` and the key state table with its dispatcher.
class ViewerWindow : public QWidget {
    Q_OBJECT
  public:
    ViewerWindow(ViewerHost& host, Prompter& prompter, ProgramState& state, ViewerKind kind, QWidget* parent);

    QTimer* Slide = nullptr;
    QMenu* PPP = nullptr;
    QAction* Slideon = nullptr;
    QAction* RndList = nullptr;
    QAction* Back = nullptr;
    QAction* listnext = nullptr;
    QAction* ExitF = nullptr;

    void listnext_Click() { step(true); }
    void Back_Click() { step(false); }
    void Slideon_Click();
    // A key-down or key-up on the window or any of its controls (toolkit key).
    void keyDown(int toolkitKey);
    void keyUp(int toolkitKey);
    bool slideshowRunning() const;
    // For tests: the random numbers a random step uses.
    void setUniformSource(UniformSource source) { uniform_ = std::move(source); }

  protected:
    // True while the window shows a text (and so refuses the slideshow).
    virtual bool textShown() const = 0;
    // Whether the random order applies to a step now.
    virtual bool randomApplies() const { return true; }
    // Copies what the main window shows after a step.
    virtual void copyFromMain() = 0;
    virtual void openDirectoryChanger() {}
    // The zoom keys (full screen).
    virtual void zoomKey(ViewerAction) {}

    // The load steps both windows share: interval, random mark, dispatcher.
    void loadCommon();
    // Key and right-button handling also for a child control.
    void watch(QWidget* child);
    void step(bool forward);
    // Shows the list's first or last entry.
    void stepToEnd(bool last);
    void slideTick();
    void runKeyDispatcher();
    void addChangerItem(QAction* item);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    ViewerHost& host_;
    Prompter& prompter_;
    ProgramState& state_;

  private:
    ViewerKind kind_;
    ViewerKeyState keys_;
    UniformSource uniform_;
    void stepOnce(bool forward);
    void showEntry(int index);

    bool stepping_ = false;
    std::optional<bool> pending_; // forward or back
    QElapsedTimer slideClock_;
    SlideSchedule schedule_;
};

} // namespace orbet
