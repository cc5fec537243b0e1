#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "platform/Progress.h"

class QProgressDialog;

namespace orbet {

// One long job on a worker thread of its own, with the platform's progress
// dialog modal over the window that started it. The dialog is made and
// shown only once the work has lasted half a second, so short work shows
// nothing; until then the window repaints but refuses the user's input, as
// it would under the dialog. The window's thread never waits for the work:
// it looks at the worker's figures every few dozen milliseconds, and its
// 中止 button (or Escape, or the close box) raises a flag the worker reads
// at its next step. While the work commits its result the dialog says so
// and offers no stop. The steps come from the worker; everything else
// happens on the window's thread.
class QtProgress : public QObject, public Progress {
  public:
    // Starts `work` and returns; `finished` runs on this thread after the
    // dialog is gone. The job belongs to `parent`: if the window goes
    // first, the work is stopped and waited for, and `finished` never runs.
    static QtProgress* start(QWidget* parent, std::function<void(Progress&)> work,
                             std::function<void()> finished);
    ~QtProgress() override;

    void begin(const QString& title, const QString& text, qint64 total) override;
    bool advance(qint64 done, const QString& text) override;
    void committing() override;
    void end() override;

    // Stops the work as the button does; for the program's own end.
    void stop();

    static constexpr int kShowAfterMs = 500;
    // How often the window's thread brings the dialog up to date.
    static constexpr int kUpdateEveryMs = 40;
    // What the dialog says while the result is committed.
    static QString committingText();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QtProgress(QWidget* parent, std::function<void()> finished);
    void update();
    void show();
    void workDone();
    int scaled(qint64 value, qint64 total, int shift) const;

    QPointer<QWidget> parent_;
    std::function<void()> finished_;
    std::thread worker_;
    QTimer ticks_;
    QElapsedTimer sinceStart_;
    std::unique_ptr<QProgressDialog> dialog_;
    bool committingShown_ = false;

    // What the worker reports, read by the window's thread.
    std::mutex lock_;
    QString title_;
    QString text_;
    qint64 total_ = 0;
    qint64 done_ = 0;
    bool committing_ = false;
    std::atomic<bool> stopped_{false};
};

} // namespace orbet
