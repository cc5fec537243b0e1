#include "viewers/MiniWebBrowser.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QUrl>

#include "display/ui/Engines.h"
#include "platform/NativePath.h"
#include "platform/Prompter.h"
#include "platform/Twips.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(MiniWebBrowser)
};
} // namespace

MinWebLayout layoutMinWeb(int w, int h, int textHeight, int labelWidth) {
    MinWebLayout l;
    if (w < 1600) return {true, 1600, h, {}, 0};
    if (h < 1200) return {true, w, 1200, {}, 0};
    l.web = {0, textHeight, w - 180, h - textHeight - 300};
    l.textWidth = w - labelWidth;
    return l;
}

MinWeb::MinWeb(QWidget* parent, Prompter& prompter) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("MinWeb"));
    setWindowTitle(Texts::tr("ミニマムWebブラウザー"));
    Label1 = new QLabel(Texts::tr("URL："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->adjustSize();
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->move(Label1->width(), 0);
    if ((view_ = createWebView(this, WebRole::Browser))) {
        Web = view_->widget();
        // Every arrival, a followed link too, writes its address back.
        view_->urlChanged = [this](const QUrl& url) { Text1->setText(url.toString()); };
        view_->downloadAsked = [&prompter](const QString& suggested) {
            FileDialogRequest request;
            request.title = Texts::tr("ダウンロードしたファイルの保存");
            request.filter = Texts::tr("すべてのファイル(*.*)|*.*");
            request.initialName = suggested;
            return prompter.saveFile(request);
        };
        view_->fileAsked = [&prompter] {
            FileDialogRequest request;
            request.title = Texts::tr("送信するファイルの選択");
            request.filter = Texts::tr("すべてのファイル(*.*)|*.*");
            return prompter.openFile(request);
        };
    } else {
        Web = new QWidget(this);
    }
    Web->setObjectName(QStringLiteral("Web"));
    connect(Text1, &QLineEdit::returnPressed, this, [this] {
        if (!view_) return;
        const QString typed = Text1->text();
        view_->setUrl(pathFacts(typed).exists ? nativeFileUrl(absoluteCleanPath(typed))
                                              : QUrl::fromUserInput(typed));
    });
    resize(640, 480);
}

MinWeb::~MinWeb() {
    if (view_) view_->urlChanged = nullptr;
}

void MinWeb::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const MinWebLayout l = layoutMinWeb(
        twips::fromPixels(width()) + kMinWebFrameWidth, twips::fromPixels(height()) + kMinWebFrameHeight,
        twips::fromPixels(Text1->height()), twips::fromPixels(Label1->width()));
    if (l.resizeFirst) {
        // Rounded up, so the size reached is never below the minimum.
        auto atLeast = [](int twips) {
            int pixels = twips::toPixels(twips);
            if (twips::fromPixels(pixels) < twips) ++pixels;
            return pixels;
        };
        resize(atLeast(l.width - kMinWebFrameWidth), atLeast(l.height - kMinWebFrameHeight));
        return;
    }
    Web->setGeometry(twips::toPixels(l.web));
    Text1->resize(twips::toPixels(l.textWidth), Text1->height());
}

void MinWeb::comeBack() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

} // namespace orbet
