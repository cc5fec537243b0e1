#pragma once

#include <functional>
#include <memory>

#include <QDialog>

class QListWidget;
class QPushButton;

namespace orbet {

class FavouritesStore;
class Mailbox;
class Prompter;
struct ProgramState;

// What the favourites need of the main window.
struct FavouritesHooks {
    std::function<QString()> currentFolder;
    // Opens the tree down to path and makes it current; false when the path
    // could not be opened (it names nothing, or the tree could not reach it).
    std::function<bool(const QString&)> openTreePath;
    std::function<void()> showMainWindow;
    // The add, call and check commands on or off; off while a check runs so
    // nothing changes the store under it.
    std::function<void(bool)> setCommandsEnabled;
};

// "お気に入りパス呼び出し": picks a favourite folder to go to, deletes
// favourites and changes their order. Every change reaches the store at once.
class Form2 : public QDialog {
    Q_OBJECT
  public:
    Form2(Prompter& prompter, ProgramState& state, FavouritesStore& store, const FavouritesHooks& hooks,
          QWidget* parent);

    void Command1_Click(); // go to the selected favourite
    void Command3_Click(); // delete
    void Command4_Click(); // move down
    void Command5_Click(); // move up

    QListWidget* List1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;

  protected:
    void done(int result) override;

  private:
    bool hasSelection();
    void move(int step);
    void storeList();

    Prompter& prompter_;
    ProgramState& state_;
    FavouritesStore& store_;
    const FavouritesHooks& hooks_;
};

// The folder menu's favourites commands (F1, F2, F3).
class FavouritesCommands {
  public:
    FavouritesCommands(Prompter& prompter, ProgramState& state, FavouritesStore& store, FavouritesHooks hooks,
                       QWidget* dialogParent);
    // Drops a check still under way, without waiting for it.
    ~FavouritesCommands();

    void AddO();
    void CallO();
    // Looks the entries up on a worker (a dead mount would hang the window)
    // and returns; the store changes when the answer comes back.
    void chekO();
    bool checking() const { return checking_; }

  private:
    Prompter& prompter_;
    ProgramState& state_;
    FavouritesStore& store_;
    FavouritesHooks hooks_;
    QWidget* dialogParent_;
    bool checking_ = false;
    // The check's answer comes back through the mailbox to `receiver_`, on
    // the window's thread.
    std::unique_ptr<QObject> receiver_;
    std::shared_ptr<Mailbox> mailbox_;
};

} // namespace orbet
