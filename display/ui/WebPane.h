#pragma once

#include <QString>
#include <QWidget>

class QWebEngineView;

namespace orbet {

// The browser pane. The web engine starts only when a page is first shown;
// until then the pane is an empty frame. Navigating to the empty address
// clears it.
class WebPane : public QWidget {
    Q_OBJECT
public:
    explicit WebPane(QWidget* parent = nullptr);

    void navigate(const QString& address);
    QString address() const { return address_; }
    bool hasEngine() const { return view_ != nullptr; }
    QWebEngineView* view() const { return view_; }

signals:
    void loadFinished(bool ok);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWebEngineView* view_ = nullptr;
    QString address_;
};

}  // namespace orbet
