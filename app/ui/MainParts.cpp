#include "app/ui/MainParts.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextEdit>
#include <QTreeWidget>

#include "app/core/MainLayout.h"
#include "display/DisplayLayout.h"
#include "display/FileKinds.h"
#include "display/ui/MediaControl.h"
#include "display/ui/PictureBox.h"
#include "display/ui/WebPane.h"
#include "navigation/ui/ListControls.h"
#include "platform/Twips.h"

namespace orbet {

namespace {

// The height a line of a label takes as drawn: Japanese text falls back to a
// font taller than the label's own, so a line is measured, not assumed.
int labelLineTwips(const QLabel* label) {
    const QFontMetrics fm = label->fontMetrics();
    const int flags = Qt::AlignLeft | Qt::AlignTop;
    const QString probe = QStringLiteral("探査対象Ag"); // untranslated: never shown
    const int one = fm.boundingRect(QRect(0, 0, 4000, 1000), flags, probe).height();
    const int two =
        fm.boundingRect(QRect(0, 0, 4000, 1000), flags, probe + QLatin1Char('\n') + probe).height();
    return twips::fromPixels(std::max(one, (two + 1) / 2));
}

} // namespace

MainParts::MainParts(QMainWindow& window, Prompter& prompter, const StartRequest& request)
    : window_(window), held_(prompter), prompter_(held_), request_(request), barTop_(designed::kBarTop) {}

MainParts::~MainParts() = default;

void MainParts::place(QWidget* w, const TwipsRect& r) {
    w->setGeometry(twips::toPixels(r));
}

bool MainParts::isChecked(Command command) const {
    return action(command)->isChecked();
}

void MainParts::setChecked(Command command, bool on) {
    action(command)->setChecked(on);
}

QMenu* MainParts::menu(const char* name) const {
    return menus_.value(QString::fromLatin1(name));
}

void MainParts::syncAttributeFilters() {
    File1->setAttributes(
        {isChecked(Command::MunuASet), isChecked(Command::Hiddemset), isChecked(Command::SYSSet)});
}

void MainParts::applyLayout() {
    if (window_.isMinimized() || !central_) return;
    const int w = twips::fromPixels(central_->width());
    const int h = twips::fromPixels(central_->height());
    const MainLayout l = computeMainLayout(w, h, barTop_, file1HeightTwips(), 0, labelLineTwips(Info));
    state_.toolbarRows = l.toolbarRows;
    place(Combo2, l.combo2);
    place(Combo1, l.combo1);
    place(Drive1, l.drive1);
    place(Dir1, l.dir1);
    place(TV, l.tree);
    place(File1, l.file1);
    place(Bytes, l.bytes);
    place(Info, l.info);
    place(Bar, l.bar);
    MCC->resize(twips::toPixels(l.mcc.width), MCC->height());
    Combo2->raise();
    layoutDisplay();
    // The rule's minimum is the window's own, so the window manager refuses
    // a smaller size instead of the controls being cut off.
    const TwipsSize minimum = minimumWindowSize(l.file1.height);
    QSize least(twips::toPixels(minimum.width), twips::toPixels(minimum.height));
    if (const QScreen* s = window_.screen()) least = least.boundedTo(s->availableGeometry().size());
    if (window_.minimumSize() != least) window_.setMinimumSize(least);
}

void MainParts::layoutDisplay() {
    if (!central_) return;
    // The rule's outer height allows for the status bar, caption and menu
    // below and above the client area; here those sit outside the central
    // widget, so the allowance is added back and the panes end at its bottom.
    const int ys = twips::fromPixels(YS->sizeHint().height());
    const int ts = twips::fromPixels(TS->sizeHint().width());
    const int rows = state_.toolbarRows;
    const int w = twips::fromPixels(central_->width());
    const int h = twips::fromPixels(central_->height()) + ys + 100 + 255 * rows;
    const QSize picture = MP->isEmpty() ? QSize() : MP->size();
    const DisplayLayout d = LayoutDisplay(w, h, barTop_, ys, ts, rows, twips::fromPixels(picture.width()),
                                          twips::fromPixels(picture.height()));
    place(RT, d.text);
    place(WB1, d.web);
    MCC->move(twips::toPixels(d.media.left), twips::toPixels(d.media.top));
    place(BP, d.frame);
    place(YS, d.hbar);
    place(TS, d.vbar);
    for (auto [bar, range] : {std::pair{YS, d.horizontal}, std::pair{TS, d.vertical}}) {
        const QSignalBlocker block(bar);
        bar->setMaximum(range.maximum);
        bar->setPageStep(range.largeStep);
        bar->setSingleStep(range.smallStep);
        bar->setEnabled(range.enabled);
    }
    MP->move(-twips::toPixels(YS->value()), -twips::toPixels(TS->value()));
    if (QWidget* video = MMC->video()) place(video, VideoArea(d, twips::fromPixels(MCC->height())));
}

void MainParts::setBarTop(int twips) {
    barTop_ = twips;
    applyLayout();
}

// Left and top are the outer window's, frame and title bar included, as the
// settings have always meant them; width and height are the client's, so a
// rectangle saved and restored keeps its size whatever the frame.
TwipsRect MainParts::rectTwips() const {
    const QRect frame = window_.frameGeometry();
    return twips::fromPixels(QRect(frame.topLeft(), window_.size()));
}

void MainParts::setRectTwips(const TwipsRect& r) {
    const QRect pixels = twips::toPixels(r);
    window_.move(pixels.topLeft()); // a window's move places its frame
    window_.resize(pixels.size());
}

int MainParts::file1HeightTwips() const {
    return twips::fromPixels(File1->height());
}

void MainParts::setStatusText(const QString& text) {
    STB->showMessage(text);
}

void MainParts::setInfo(const QString& text) {
    Info->setText(text);
    Info->setToolTip(text);
}

QString MainParts::statusText() const {
    return STB->currentMessage();
}

void MainParts::setBackColour() {
    const QColor c(state_.backcolorR & 255, state_.backcolorG & 255, state_.backcolorB & 255);
    for (QWidget* w : {static_cast<QWidget*>(MP), BP, static_cast<QWidget*>(MCC)}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, c);
        w->setPalette(p);
    }
}

void MainParts::refillUserFilters() {
    const QSignalBlocker block(Combo1);
    while (Combo1->count() > kBuiltInFilterCount)
        Combo1->removeItem(Combo1->count() - 1);
    Combo1->addItems(userFilters_.names());
}

} // namespace orbet
