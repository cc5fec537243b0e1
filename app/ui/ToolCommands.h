#pragma once

#include <memory>

#include <QObject>
#include <QPointer>

namespace orbet {

class MainParts;
class Form5;
class FileCommands;
class FavouritesCommands;

// Wires the file tools and the favourites to the main window: the menu
// items of the file and folder menus, the extension tool and the
// favourites commands, each given the callbacks it needs instead of the
// window itself.
class ToolCommands : public QObject {
    Q_OBJECT
  public:
    explicit ToolCommands(MainParts& form);
    ~ToolCommands() override;

    FileCommands& files() { return *files_; }
    FavouritesCommands& favourites() { return *favourites_; }
    // The extension tool's one window, created on the first command.
    void Kaku();

  private:
    MainParts& f_;
    std::unique_ptr<FileCommands> files_;
    std::unique_ptr<FavouritesCommands> favourites_;
    QPointer<Form5> extensionTool_;
};

} // namespace orbet
