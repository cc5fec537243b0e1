#pragma once

#include <memory>

#include <QPointer>
#include <QString>
#include <QWidget>

namespace orbet {

class PendingBusyPointer;
class WebView;

// The browser pane. The web engine (a module, display/ui/Engines.h) is
// opened only when a page is first shown, with the busy pointer until that
// page has loaded; until then the pane is an empty frame. Navigating to the
// empty address clears it.
class WebPane : public QWidget {
    Q_OBJECT
  public:
    explicit WebPane(QWidget* parent = nullptr);
    ~WebPane() override;

    void navigate(const QString& address);
    QString address() const { return address_; }
    bool hasEngine() const { return widget_ != nullptr; }
    // The engine's view widget; null until the first page.
    QWidget* view() const { return widget_; }

  signals:
    void loadFinished(bool ok);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    WebView* view_ = nullptr; // owned by widget_
    QPointer<QWidget> widget_;
    std::unique_ptr<PendingBusyPointer> busy_;
    QString address_;
};

} // namespace orbet
