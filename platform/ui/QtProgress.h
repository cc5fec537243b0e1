#pragma once

#include <memory>

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

#include "platform/Progress.h"

class QProgressDialog;

namespace orbet {

// The platform's progress dialog, modal to the window that started the
// work, made and shown only once the work has lasted half a second, so
// short work costs no more than a look at the clock. Its 中止 button (or
// Escape, or the close box) stops the work. The work runs on the window's
// thread: each step lets the window repaint, and once the dialog is up the
// dialog takes the user's input while the window below refuses it.
class QtProgress : public Progress {
  public:
    explicit QtProgress(QWidget* parent);
    ~QtProgress() override;

    void begin(const QString& title, const QString& text, qint64 total) override;
    bool advance(qint64 done, const QString& text) override;
    void end() override;

    static constexpr int kShowAfterMs = 500;
    // Steps closer together than this only look for a stop.
    static constexpr int kUpdateEveryMs = 40;

  private:
    int scaled(qint64 value) const;
    void show();

    QPointer<QWidget> parent_;
    std::unique_ptr<QProgressDialog> dialog_;
    QElapsedTimer sinceBegin_;
    QElapsedTimer sinceUpdate_;
    QString title_;
    QString text_;
    qint64 total_ = 0;
    int shift_ = 0; // the dialog counts in int: large totals go in coarser units
    bool stopped_ = false;
};

} // namespace orbet
