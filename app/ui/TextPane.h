#pragma once

#include <functional>

#include <QObject>

class QPrinter;

namespace orbet {

class MainParts;

// The text pane's own commands: the pop-up menu with its plain-text save,
// printing of the shown picture or text, and the pane's re-placement when
// its content changes.
class TextPane : public QObject {
    Q_OBJECT
  public:
    explicit TextPane(MainParts& form);

    void rtfsa_Click();
    void pri_Click();
    void RT_Change();

    // Shows the printer dialog for the printer; false when cancelled. Tests
    // stand in for the dialog and print to a file.
    std::function<bool(QPrinter&, bool hasSelection)> printDialog;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    MainParts& f_;
};

} // namespace orbet
