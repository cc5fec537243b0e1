#pragma once

#include <QObject>
#include <QStringList>

class QMimeData;

namespace orbet {

class MainParts;
enum class ToolButton;

// The main window's small commands that hand work on: the open dialog,
// open-with, drops, the shell's file explorer, the help text and the
// toolbar's dispatch. Also the drop targets' event filter.
class Commands : public QObject {
    Q_OBJECT
  public:
    explicit Commands(MainParts& form);

    void toolbarClick(ToolButton button);
    bool toolbarWorks(ToolButton button) const;

    void Openfile();
    void OPPR();
    void Expl();
    void ExpNow();
    void IHelp();
    // A drop of data on any drop target of the window.
    void dropped(const QMimeData* data);
    // Makes a widget a drop target; the text pane accepts drops and ignores them.
    void acceptDrops(QWidget* target);
    void ignoreDrops(QWidget* target);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    MainParts& f_;
    QWidget* ignoring_ = nullptr;
};

} // namespace orbet
