#pragma once

#include <memory>

#include <QObject>
#include <QPointer>

#include "viewers/ViewerHost.h"

namespace orbet {

class MainParts;
class AllWindow;
class MiniWindow;
class Form3;
class ReadAhead;
class PaneZoom;

// The viewer windows' commands of the main window: full screen (menu,
// F8 and the toolbar), the minimum window with its mini directory changer,
// the fit-mode check marks and the full-screen text size. It is also the
// viewers' way into the main window, and it keeps the read-ahead that
// decodes the next picture of the list while the current one is shown.
class ViewerCommands : public QObject, public ViewerHost {
    Q_OBJECT
  public:
    explicit ViewerCommands(MainParts& form);
    ~ViewerCommands() override;

    void ZenBit();
    void minwindow();
    void NomSizeSet();
    void openChanger();
    // The main window came to the front: the full-screen window gives way.
    void mainWindowActivated();

    AllWindow* allWindow() const;
    MiniWindow* miniWindow() const;
    Form3* changer() const;
    ReadAhead& readAhead();
    PaneZoom& paneZoom() { return *paneZoom_; }

    int listCount() const override;
    int listIndex() const override;
    void selectEntry(int index) override;
    void whenShown(std::function<void()> then) override;
    QImage picture() const override;
    std::shared_ptr<JpegTiles> tiles() const override;
    bool showsText() const override;
    QString text() const override;
    QString currentFilePath() const override;

  private:
    void wire();
    void pictureShown();
    QRect screenRect() const;
    void say(const QString& text);

    MainParts& f_;
    bool eventFilter(QObject* watched, QEvent* event) override;

    QPointer<AllWindow> all_;
    // Whether the full-screen window has had the focus since it opened: only
    // a return to the main window after that closes it, not an activation
    // of the main window still on its way when full screen opened.
    bool allHasBeenActive_ = false;
    const QObject* allWatched_ = nullptr;
    QPointer<MiniWindow> mini_;
    QPointer<Form3> form3_;
    PaneZoom* paneZoom_ = nullptr;
};

} // namespace orbet
