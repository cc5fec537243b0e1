#include "app/ui/SearchCommands.h"

#include <QAction>

#include "app/ui/MainParts.h"
#include "app/ui/PathInput.h"
#include "navigation/ui/ListControls.h"
#include "platform/Volumes.h"
#include "tools/ui/HideForm.h"

namespace orbet {

SearchCommands::SearchCommands(MainParts& form) : QObject(&form.window()), f_(form) {
    setObjectName(QStringLiteral("SearchCommands"));
}

HideForm* SearchCommands::window() const {
    return window_;
}

void SearchCommands::Fmoju() {
    if (!window_) {
        HideForm::Hooks hooks;
        // The folder opens as a typed path does: changing only the folder
        // list would leave the commands acting on a folder nobody sees.
        hooks.sendToMain = [this](const QString& folder) {
            const int drive = f_.Drive1->findData(volumeRootOf(folder));
            if (drive >= 0) f_.Drive1->setCurrentIndex(drive);
            f_.pathInput().openPath(folder);
        };
        window_ = new HideForm(f_.prompter(), f_.state(), std::move(hooks), &f_.window());
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

SearchCommands* wireSearchTool(MainParts& form) {
    auto* commands = new SearchCommands(form);
    QObject::connect(form.action(Command::Fmoju), &QAction::triggered, commands, &SearchCommands::Fmoju);
    return commands;
}

} // namespace orbet
