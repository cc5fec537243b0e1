#pragma once

#include <functional>
#include <memory>

#include <QImage>
#include <QString>

namespace orbet {

class JpegTiles;

// What a viewer window needs of the main window: viewers keep no list of
// their own, they move the main window's selection, let it show the file,
// and copy what it shows.
class ViewerHost {
  public:
    virtual ~ViewerHost() = default;
    virtual int listCount() const = 0;
    // -1 when nothing is selected.
    virtual int listIndex() const = 0;
    // Selects the entry; the main window begins to show it.
    virtual void selectEntry(int index) = 0;
    // Runs then once the main window has put the selected entry on show:
    // part of a show (a drawing, a plug-in's decoding) may still be under
    // way when selectEntry returns. By default the show is complete then.
    virtual void whenShown(std::function<void()> then) { then(); }
    // The main picture box's picture (null when it holds none).
    virtual QImage picture() const = 0;
    // The main picture box's tiles when it shows a photo too large to hold
    // whole (picture() then gives it only as large as the screen).
    virtual std::shared_ptr<JpegTiles> tiles() const { return nullptr; }
    // True while the main window shows a text rather than a picture.
    virtual bool showsText() const = 0;
    // The main text pane's text, plain.
    virtual QString text() const = 0;
    virtual QString currentFilePath() const = 0;
};

} // namespace orbet
