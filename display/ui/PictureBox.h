#pragma once

#include <QImage>
#include <QWidget>

namespace orbet {

// A picture at its natural size. It paints only the exposed part straight
// from the decoded image, so a large picture is held once in memory.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Takes the picture and the size of it (an empty image gives 0 x 0).
    void setPicture(QImage image);
    const QImage& picture() const { return image_; }
    bool isEmpty() const { return image_.isNull(); }
    void clear() { setPicture(QImage()); }

signals:
    void pictureChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

}  // namespace orbet
