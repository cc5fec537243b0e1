#include "app/ui/ToolCommands.h"

#include <QAction>
#include <QApplication>

#include "app/ui/MainParts.h"
#include "app/ui/Navigator.h"
#include "favourites/ui/FavouritesDialog.h"
#include "navigation/FolderProbe.h"
#include "navigation/ui/FolderTree.h"
#include "navigation/ui/ListControls.h"
#include "platform/NativePath.h"
#include "tools/FileCommands.h"
#include "tools/ui/ExtensionTool.h"

namespace orbet {

namespace {

// Whether the tree made path (or, for a file, its folder) the current folder.
bool openedAsCurrent(MainParts& f, const QString& path) {
    const QString found = resolveIgnoringCase(absoluteCleanPath(path));
    if (found.isEmpty()) return false;
    f.navigator().OpenTreePath(path);
    const QString canonical = canonicalNativePath(found);
    const QString folder =
        pathFacts(found).isDir ? canonical : canonical.left(qMax<qsizetype>(canonical.lastIndexOf(u'/'), 1));
    return !folder.isEmpty() && canonicalNativePath(f.Dir1->path()) == folder;
}

} // namespace

ToolCommands::ToolCommands(MainParts& form) : QObject(&form.window()), f_(form) {
    FileCommandHooks files;
    files.currentFolder = [&f = f_] { return f.Dir1->path(); };
    files.listFolder = [&f = f_] { return f.File1->path(); };
    files.listedFiles = [&f = f_] {
        QStringList names;
        f.File1->finishListing();
        for (int i = 0; i < f.File1->listCount(); ++i)
            names.append(f.File1->entry(i));
        return names;
    };
    files.copyProtection = [&f = f_] { return f.isChecked(Command::InBaNotD); };
    files.refreshFileList = [&f = f_] { f.File1->refresh(); };
    files.refreshFolderList = [&f = f_] {
        f.Dir1->setPath(f.Dir1->path());
        f.navigator().tree().syncChildren(f.Dir1->path());
    };
    files.openFolder = [&f = f_](const QString& p) { f.navigator().OpenFolder(p); };
    files.openTreePath = [&f = f_](const QString& p) { f.navigator().OpenTreePath(p); };
    files.busy = [](bool on) {
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    files_ = std::make_unique<FileCommands>(f_.prompter(), f_.state(), std::move(files));

    FavouritesHooks favourites;
    favourites.currentFolder = [&f = f_] { return f.Dir1->path(); };
    favourites.openTreePath = [&f = f_](const QString& p) { return openedAsCurrent(f, p); };
    favourites.showMainWindow = [&f = f_] { f.window().show(); };
    favourites.setCommandsEnabled = [&f = f_](bool on) {
        for (Command c : {Command::AddO, Command::CallO, Command::chekO})
            f.action(c)->setEnabled(on);
    };
    favourites_ = std::make_unique<FavouritesCommands>(f_.prompter(), f_.state(), f_.favourites(),
                                                       std::move(favourites), &f_.window());

    const struct {
        Command item;
        void (FileCommands::*command)();
    } fileItems[] = {
        {Command::Cop, &FileCommands::Cop},
        {Command::del, &FileCommands::del},
        {Command::makedir, &FileCommands::makedir},
        {Command::XCopy, &FileCommands::XCopy},
        {Command::MoveFolder, &FileCommands::MoveFolder},
        {Command::DirFL, &FileCommands::DirFL},
        {Command::NowFlistToFL, &FileCommands::NowFlistToFL},
        {Command::Finfomaintion, &FileCommands::Finfomaintion},
        {Command::FoInfo, &FileCommands::FoInfo},
        {Command::DriveInfo, &FileCommands::DriveInfo},
    };
    for (const auto& item : fileItems)
        connect(f_.action(item.item), &QAction::triggered, this,
                [this, c = item.command] { (files_.get()->*c)(); });
    connect(f_.action(Command::AddO), &QAction::triggered, this, [this] { favourites_->AddO(); });
    connect(f_.action(Command::CallO), &QAction::triggered, this, [this] { favourites_->CallO(); });
    connect(f_.action(Command::chekO), &QAction::triggered, this, [this] { favourites_->chekO(); });
    connect(f_.action(Command::Kaku), &QAction::triggered, this, [this] { Kaku(); });
}

ToolCommands::~ToolCommands() = default;

void ToolCommands::Kaku() {
    if (!extensionTool_)
        extensionTool_ = new Form5(
            f_.prompter(), f_.state(), f_.Dir1->path(), [&f = f_] { f.File1->refresh(); }, &f_.window());
    extensionTool_->comeBack();
}

} // namespace orbet
