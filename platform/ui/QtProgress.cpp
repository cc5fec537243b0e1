#include "platform/ui/QtProgress.h"

#include <climits>

#include <QCoreApplication>
#include <QProgressDialog>

namespace orbet {

QtProgress::QtProgress(QWidget* parent) : parent_(parent) {}

QtProgress::~QtProgress() = default;

void QtProgress::begin(const QString& title, const QString& text, qint64 total) {
    total_ = qMax<qint64>(total, 0);
    shift_ = 0;
    while ((total_ >> shift_) > INT_MAX) ++shift_;
    stopped_ = false;
    dialog_ = std::make_unique<QProgressDialog>(text, QCoreApplication::translate("QtProgress", "中止"), 0,
                                                scaled(total_), parent_);
    dialog_->setObjectName(QStringLiteral("progress"));
    dialog_->setWindowTitle(title);
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(kShowAfterMs);
    // The first value starts the dialog's clock for showing itself.
    dialog_->setValue(0);
    sinceUpdate_.start();
}

int QtProgress::scaled(qint64 value) const { return int(qBound<qint64>(0, value, total_) >> shift_); }

bool QtProgress::advance(qint64 done, const QString& text) {
    if (!dialog_ || stopped_) return !stopped_;
    if (sinceUpdate_.elapsed() >= kUpdateEveryMs) {
        sinceUpdate_.restart();
        if (!text.isEmpty() && text != dialog_->labelText()) dialog_->setLabelText(text);
        if (total_ > 0) dialog_->setValue(scaled(done));
        // Until the dialog is up the window only repaints (and the dialog's
        // timer that shows it gets its turn); once up, the modal dialog
        // takes input, so its button can stop the work.
        QCoreApplication::processEvents(dialog_->isVisible() ? QEventLoop::AllEvents
                                                             : QEventLoop::ExcludeUserInputEvents);
    }
    stopped_ = dialog_->wasCanceled();
    return !stopped_;
}

void QtProgress::end() { dialog_.reset(); }

}  // namespace orbet
