#pragma once

#include <QDialog>

class QLabel;

namespace orbet {

class MainParts;

// The about window: the splash picture with the program's name and version.
// A click anywhere on it closes it.
class VrForm : public QDialog {
    Q_OBJECT
  public:
    explicit VrForm(QWidget* parent);

    QLabel* Image1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap background_;
};

// Commands that hand work to programs and files beside the program. The
// companion programs and help files are not part of this system; a missing
// one is reported, never fatal.
void HexwellterOpen(MainParts& form);
void Pic1(MainParts& form);
void HLPPic(MainParts& form);
void HLP(MainParts& form);
void OPRT(MainParts& form);
void ver(MainParts& form);

// The help text beside the program, in the interface's language: the
// English one while the English catalogue is in force.
QString helpFile();
// Whether a desktop entry's program shows a file in a window of its own
// (one that asks for a terminal does not, where no terminal is open).
bool opensInAWindow(const QByteArray& desktopEntry);
// Whether the desktop shows plain text in a window: it names a program
// for it, and that program opens in a window.
bool desktopShowsText();
// The help: through the desktop's text viewer where it has one, else in
// Orbet's own window ("HelpWindow"), never nothing at all.
void showHelp(MainParts& form);

} // namespace orbet
