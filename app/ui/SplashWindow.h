#pragma once

#include <QElapsedTimer>
#include <QPixmap>
#include <QWidget>

namespace orbet {

// OPForm: the start-up picture with one line of progress text near its
// bottom. Only the latest text is visible.
class SplashWindow : public QWidget {
    Q_OBJECT
  public:
    explicit SplashWindow(const QString& picturePath, QWidget* parent = nullptr);
    // Clears the previous text and prints this one.
    void OPt(const QString& text);
    QString text() const { return text_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap picture_;
    QString text_;
    QElapsedTimer painted_;
    bool frameDue_ = false;
};

} // namespace orbet
