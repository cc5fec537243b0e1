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
    while ((total_ >> shift_) > INT_MAX)
        ++shift_;
    stopped_ = false;
    title_ = title;
    text_ = text;
    dialog_.reset();
    sinceBegin_.start();
    sinceUpdate_.start();
}

void QtProgress::show() {
    dialog_ = std::make_unique<QProgressDialog>(text_, QCoreApplication::translate("QtProgress", "中止"), 0,
                                                scaled(total_), parent_);
    dialog_->setObjectName(QStringLiteral("progress"));
    dialog_->setWindowTitle(title_);
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(0);
    dialog_->show();
}

int QtProgress::scaled(qint64 value) const {
    return int(qBound<qint64>(0, value, total_) >> shift_);
}

bool QtProgress::advance(qint64 done, const QString& text) {
    if (stopped_) return false;
    if (!text.isEmpty()) text_ = text;
    stopped_ = dialog_ && dialog_->wasCanceled();
    if (stopped_ || sinceUpdate_.elapsed() < kUpdateEveryMs) return !stopped_;
    sinceUpdate_.restart();
    if (!dialog_ && sinceBegin_.elapsed() >= kShowAfterMs) show();
    if (dialog_) {
        if (text_ != dialog_->labelText()) dialog_->setLabelText(text_);
        // Without a total the range is 0 to 0: the bar just moves.
        dialog_->setValue(scaled(done));
    }
    // Until the dialog is up the window only repaints; once up, the modal
    // dialog takes input, so its button can stop the work.
    QCoreApplication::processEvents(dialog_ ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    stopped_ = dialog_ && dialog_->wasCanceled();
    return !stopped_;
}

void QtProgress::end() {
    dialog_.reset();
}

} // namespace orbet
