#pragma once

#include <functional>

#include <QColor>
#include <QImage>
#include <QStringList>

#include "viewers/ViewerHost.h"

namespace orbet::test {

// A main window stand-in: a list of entries, each a picture or a text.
class FakeHost : public ViewerHost {
  public:
    struct Entry {
        QImage picture;
        QString text; // a text entry when not empty
    };
    std::vector<Entry> entries;
    int index = -1;
    int selections = 0;
    // Runs inside a selection, while the main window would be showing the entry.
    std::function<void(int)> whileShowing;
    // The current file's path when set, else a made-up one per entry.
    QString path;

    static QImage solid(int w, int h, QColor c) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(c);
        return image;
    }

    int listCount() const override { return int(entries.size()); }
    int listIndex() const override { return index; }
    void selectEntry(int i) override {
        index = i;
        ++selections;
        if (whileShowing) whileShowing(i);
    }
    QImage picture() const override {
        return index >= 0 && index < listCount() && entries[index].text.isEmpty() ? entries[index].picture
                                                                                  : QImage();
    }
    bool showsText() const override {
        return index >= 0 && index < listCount() && !entries[index].text.isEmpty();
    }
    QString text() const override { return showsText() ? entries[index].text : QString(); }
    QString currentFilePath() const override {
        return path.isEmpty() ? QStringLiteral("/pictures/%1").arg(index) : path;
    }
};

} // namespace orbet::test
