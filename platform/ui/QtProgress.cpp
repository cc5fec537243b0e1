#include "platform/ui/QtProgress.h"

#include <climits>

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QProgressBar>
#include <QProgressDialog>

namespace orbet {

namespace {

// The events a window refuses while work it started runs.
bool isUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Drop:
    case QEvent::TouchBegin:
        return true;
    default:
        return false;
    }
}

// The dialog counts in int: large totals go in coarser units.
int shiftFor(qint64 total) {
    int shift = 0;
    while ((total >> shift) > INT_MAX)
        ++shift;
    return shift;
}

} // namespace

QtProgress* QtProgress::start(QWidget* parent, std::function<void(Progress&)> work,
                              std::function<void()> finished) {
    auto* job = new QtProgress(parent, std::move(finished));
    job->worker_ = std::thread([job, work = std::move(work)] {
        work(*job);
        // Dropped with the job when the window went first.
        QMetaObject::invokeMethod(
            job, [job] { job->workDone(); }, Qt::QueuedConnection);
    });
    return job;
}

QtProgress::QtProgress(QWidget* parent, std::function<void()> finished)
    : QObject(parent), parent_(parent), finished_(std::move(finished)) {
    sinceStart_.start();
    ticks_.setInterval(kUpdateEveryMs);
    connect(&ticks_, &QTimer::timeout, this, [this] { update(); });
    ticks_.start();
    if (parent_) qApp->installEventFilter(this);
}

QtProgress::~QtProgress() {
    // Only when the window goes while the work runs: the work stops at its
    // next step, leaving nothing half written, and is waited for here.
    stopped_ = true;
    if (worker_.joinable()) worker_.join();
}

QString QtProgress::committingText() {
    return QCoreApplication::translate("QtProgress", "ファイルを保存しています。この処理は中止できません");
}

void QtProgress::begin(const QString& title, const QString& text, qint64 total) {
    const std::lock_guard<std::mutex> hold(lock_);
    title_ = title;
    text_ = text;
    total_ = qMax<qint64>(total, 0);
    done_ = 0;
    committing_ = false;
}

bool QtProgress::advance(qint64 done, const QString& text) {
    if (stopped_) return false;
    const std::lock_guard<std::mutex> hold(lock_);
    done_ = done;
    if (!text.isEmpty()) text_ = text;
    return !stopped_;
}

void QtProgress::committing() {
    const std::lock_guard<std::mutex> hold(lock_);
    committing_ = true;
}

void QtProgress::end() {}

void QtProgress::stop() {
    stopped_ = true;
}

int QtProgress::scaled(qint64 value, qint64 total, int shift) const {
    return int(qBound<qint64>(0, value, total) >> shift);
}

bool QtProgress::eventFilter(QObject* watched, QEvent* event) {
    if (dialog_ && watched == dialog_.get()) {
        // Past the point of stopping, the dialog cannot be dismissed.
        const bool escape =
            event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
        if (committingShown_ && (escape || event->type() == QEvent::Close)) {
            event->ignore();
            return true;
        }
        return false;
    }
    // Before the dialog is up, the window takes no input; once it is up, the
    // dialog's modality does this.
    if (dialog_ || !parent_ || !isUserInput(event->type()) || !watched->isWidgetType()) return false;
    return static_cast<QWidget*>(watched)->window() == parent_->window();
}

void QtProgress::show() {
    dialog_ = std::make_unique<QProgressDialog>(parent_);
    dialog_->setObjectName(QStringLiteral("progress"));
    // A bar of its own: the dialog's setValue runs the window's events when
    // the dialog is modal.
    dialog_->setBar(new QProgressBar);
    dialog_->setCancelButtonText(QCoreApplication::translate("QtProgress", "中止"));
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->installEventFilter(this);
    connect(dialog_.get(), &QProgressDialog::canceled, this, [this] {
        if (!committingShown_) stopped_ = true;
    });
    qApp->removeEventFilter(this);
    dialog_->show();
}

void QtProgress::update() {
    QString title, text;
    qint64 total = 0, done = 0;
    bool committing = false;
    {
        const std::lock_guard<std::mutex> hold(lock_);
        title = title_;
        text = text_;
        total = total_;
        done = done_;
        committing = committing_;
    }
    if (!dialog_ && sinceStart_.elapsed() < kShowAfterMs) return;
    if (!dialog_) show();
    if (stopped_) return; // the dialog hid itself when stopped
    const int shift = shiftFor(total);
    auto* bar = dialog_->findChild<QProgressBar*>();
    if (dialog_->windowTitle() != title) dialog_->setWindowTitle(title);
    if (committing && !committingShown_) {
        committingShown_ = true;
        dialog_->setCancelButton(nullptr);
        done = total;
    }
    const QString label = committingShown_ ? committingText() : text;
    if (dialog_->labelText() != label) dialog_->setLabelText(label);
    // Without a total the range is 0 to 0: the bar just moves.
    if (bar->maximum() != scaled(total, total, shift)) bar->setRange(0, scaled(total, total, shift));
    bar->setValue(scaled(done, total, shift));
}

void QtProgress::workDone() {
    if (worker_.joinable()) worker_.join();
    ticks_.stop();
    qApp->removeEventFilter(this);
    dialog_.reset();
    const std::function<void()> finished = std::move(finished_);
    deleteLater();
    if (finished) finished();
}

} // namespace orbet
