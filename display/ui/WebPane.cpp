#include "display/ui/WebPane.h"

#include <QUrl>

#include "display/ui/Engines.h"
#include "platform/NativePath.h"
#include "platform/StartupTrace.h"

namespace orbet {

WebPane::WebPane(QWidget* parent) : QWidget(parent) {}

WebPane::~WebPane() {
    if (widget_) view_->loadFinished = nullptr;
}

void WebPane::navigate(const QString& address) {
    address_ = address;
    if (address.isEmpty()) {
        if (widget_) view_->setUrl(QUrl(QStringLiteral("about:blank")));
        return;
    }
    if (!widget_) {
        // The first page pays for the engine's start.
        busy_ = std::make_unique<PendingBusyPointer>();
        view_ = createWebView(this, WebRole::Preview);
        if (!view_) {
            busy_.reset();
            return;
        }
        widget_ = view_->widget();
        widget_->setObjectName(QStringLiteral("WB1View"));
        widget_->setGeometry(rect());
        widget_->show();
        view_->loadFinished = [this](bool ok) {
            if (busy_) traceStartupStep("first web page loaded");
            busy_.reset();
            emit loadFinished(ok);
        };
    }
    // By the file's bytes: a name that is not UTF-8 reaches its file too.
    view_->setUrl(pathFacts(address).exists ? nativeFileUrl(absoluteCleanPath(address))
                                            : QUrl::fromUserInput(address));
}

void WebPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (widget_) widget_->setGeometry(rect());
}

} // namespace orbet
