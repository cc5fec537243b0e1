#pragma once

#include <memory>

#include <QString>
#include <QStringList>

namespace orbet {

class MainParts;
class SplashWindow;

// The start-up sequence, the one-shot timer that finishes it, and the
// opening of a file handed over at run time.
class Startup {
  public:
    explicit Startup(MainParts& form);
    ~Startup();

    void run();
    void Timer1_Timer();
    // Opens a dropped file: its folder, a matching filter, its entry in the
    // list, and its pane. Any failure shows "Command Line Error!".
    void ComB(const QString& path);

    void LoadPlugins();
    void FreePlugins();
    // Loads the Windows plug-ins the start left waiting for Wine, once it
    // runs, and lists their files under the first filter.
    void loadWaitingPlugins();
    // The progress texts shown on the splash window, in order.
    const QStringList& progressTexts() const { return progress_; }

  private:
    void progress(const QString& text);
    void selectionWalk(const QString& path);
    bool loadDropped(const QString& path);
    void showAwaited(bool untouched);

    MainParts& f_;
    std::unique_ptr<SplashWindow> splash_;
    QStringList progress_;
    // The file named on the command line, of a kind no plug-in loaded so far
    // reads: shown once the waiting plug-ins join, unless the user has shown
    // something else or gone elsewhere meanwhile.
    QString awaited_;
};

} // namespace orbet
