#pragma once

#include <QObject>
#include <QPointer>

namespace orbet {

class MainParts;
class HideForm;

// The folder search tool's commands: `Fmoju` and the toolbar's "direx" show
// the one tool window, creating it when none is open.
class SearchCommands : public QObject {
    Q_OBJECT
  public:
    explicit SearchCommands(MainParts& form);

    void Fmoju();
    HideForm* window() const;

  private:
    MainParts& f_;
    QPointer<HideForm> window_;
};

// Creates the commands as a child of the window and connects `Fmoju`.
SearchCommands* wireSearchTool(MainParts& form);

} // namespace orbet
