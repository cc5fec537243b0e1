#include "WebSupport.h"

#include <QElapsedTimer>
#include <QTest>
#include <QWebEngineView>

namespace orbet::test {

QWebEngineView* engineView(QWidget* w) {
    return qobject_cast<QWebEngineView*>(w);
}

QString waitForTitle(QWidget* view, const QString& prefix, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        if (QWebEngineView* v = engineView(view); v && v->title().startsWith(prefix)) return v->title();
        QTest::qWait(50);
    }
    QWebEngineView* v = engineView(view);
    return v ? QStringLiteral("timed out at: ") + v->title() : QStringLiteral("no view");
}

} // namespace orbet::test
