#include "app/ui/CryptoCommands.h"

#include <QAction>
#include <QGuiApplication>

#include "app/ui/MainParts.h"
#include "crypto/BinAngsDL.h"
#include "crypto/EncryptionCommands.h"
#include "navigation/ui/ListControls.h"

namespace orbet {

namespace {

// Lives as a child of the main window, so the BinAngsDL lasts the whole run.
class CryptoHolder : public QObject {
  public:
    explicit CryptoHolder(MainParts& form)
        : QObject(&form.window()), bin(form.prompter()),
          commands(form.prompter(), form.state(), bin, [](bool busy) {
              if (busy)
                  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
              else
                  QGuiApplication::restoreOverrideCursor();
          }) {
        bin.setTitleName(form.state().title);
        commands.setCurrentFolder([&form] { return form.Dir1->path(); });
    }

    BinAngsDL bin;
    EncryptionCommands commands;
};

} // namespace

void wireCryptoCommands(MainParts& form) {
    auto* holder = new CryptoHolder(form);
    holder->setObjectName(QStringLiteral("BinAngsDL"));
    QObject::connect(form.action(Command::PasAng), &QAction::triggered, holder,
                     [holder] { holder->commands.PasAng(); });
    QObject::connect(form.action(Command::PassHuku), &QAction::triggered, holder,
                     [holder] { holder->commands.PassHuku(); });
}

} // namespace orbet
