#pragma once

#include <functional>

#include <QString>

namespace orbet {

class BinAngsDL;
class Prompter;
struct ProgramState;

// The two commands of the protected-file sub-menu. They talk to the user only
// through the Prompter; the window passes how to show the busy pointer.
class EncryptionCommands {
  public:
    using BusyPointer = std::function<void(bool busy)>;

    EncryptionCommands(Prompter& prompter, ProgramState& state, BinAngsDL& bin, BusyPointer busy = {});

    // The folder the file dialogs open in: the main window's current one.
    void setCurrentFolder(std::function<QString()> folder) { currentFolder_ = std::move(folder); }

    // Protects the current file into a file chosen in a save dialog.
    // Both commands return once the work has started; their last message
    // comes when it ends. Neither starts while other long work runs.
    void PasAng();
    // Restores a protected file chosen in an open dialog into its own folder.
    void PassHuku();

    static QString filter();
    // Said when protection was asked for without a password, instead of
    // writing an empty file.
    static QString noPasswordMessage();
    // Said when the user stopped the work: nothing was written.
    static QString protectStoppedMessage();
    static QString restoreStoppedMessage();

  private:
    QString askPassword();
    void setWorking(bool working);

    Prompter& prompter_;
    ProgramState& state_;
    BinAngsDL& bin_;
    BusyPointer busy_;
    std::function<QString()> currentFolder_;
};

} // namespace orbet
