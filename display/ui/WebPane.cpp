#include "display/ui/WebPane.h"

#include <QUrl>
#include <QWebEngineView>

#include "platform/NativePath.h"

namespace orbet {

WebPane::WebPane(QWidget* parent) : QWidget(parent) {}

void WebPane::navigate(const QString& address) {
    address_ = address;
    if (address.isEmpty()) {
        if (view_) view_->setUrl(QUrl(QStringLiteral("about:blank")));
        return;
    }
    if (!view_) {
        view_ = new QWebEngineView(this);
        view_->setObjectName(QStringLiteral("WB1View"));
        view_->setGeometry(rect());
        view_->show();
        connect(view_, &QWebEngineView::loadFinished, this, &WebPane::loadFinished);
    }
    view_->setUrl(pathFacts(address).exists ? nativeFileUrl(absoluteCleanPath(address)) : QUrl::fromUserInput(address));
}

void WebPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (view_) view_->setGeometry(rect());
}

}  // namespace orbet
