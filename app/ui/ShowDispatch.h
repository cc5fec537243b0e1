#pragma once

#include <functional>

#include <QFuture>
#include <QImage>
#include <QString>

namespace orbet {

class MainParts;
class ShowController;

// Puts the current file on screen: the file list's events, the show routes
// of the selected filter, and the media open sequence.
class ShowDispatch {
  public:
    ShowDispatch(MainParts& form, ShowController& shows);

    // A click (or a selection made from code): shows the entry at once.
    void File1_Click();
    // A selection moved by the keyboard: the entry is shown once the keys
    // stop arriving, so holding a key never queues a show per step.
    void File1_KeyboardClick();
    void File1_GotFocus();
    // Enter, Up and Down; other keys are ignored.
    void File1_KeyDown(int key);
    // Shows the file in the panes of the selected filter's route.
    void ShowFile(const QString& path);
    void mediaOpenSequence(const QString& path);

    // Full path of the selected entry of the file list.
    QString selectedPath() const;
    // The decoder plug-ins' answer for a picture the built-in loader does
    // not take; none until plug-ins are loaded.
    std::function<QFuture<QImage>(const QString&)> decodeWithPlugins;

  private:
    void setObjectStatus();
    // The list's click: the current file, its size and the status text.
    // False while clicks are suppressed.
    bool takeSelection();
    void requestShow();

    MainParts& f_;
    ShowController& shows_;
    bool showPending_ = false;
};

} // namespace orbet
