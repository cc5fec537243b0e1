#pragma once

#include <QObject>
#include <QPointer>

namespace orbet {

class Form1;
class HideForm;

// The folder search tool's commands: `Fmoju` and the toolbar's "direx" show
// the one tool window, creating it when none is open.
class SearchCommands : public QObject {
    Q_OBJECT
  public:
    explicit SearchCommands(Form1& form);

    void Fmoju();
    HideForm* window() const;

  private:
    Form1& f_;
    QPointer<HideForm> window_;
};

// Creates the commands as a child of the window and connects `Fmoju`.
SearchCommands* wireSearchTool(Form1& form);

} // namespace orbet
