#pragma once

#include <QString>

class QWebEngineView;
class QWidget;

namespace orbet::test {

// The engine's own view behind a pane's or the mini browser's widget.
QWebEngineView* engineView(QWidget* w);
// Waits (bounded) until the page's title starts with the prefix; the title,
// or what it was when the wait gave up.
QString waitForTitle(QWidget* view, const QString& prefix, int timeoutMs = 20000);

} // namespace orbet::test
