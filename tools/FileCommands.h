#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include <QObject>
#include <QString>
#include <QStringList>

namespace orbet {

class Mailbox;
class Prompter;
struct ProgramState;
struct TreeRemoveReport;

// What the file commands need of the main window.
struct FileCommandHooks {
    std::function<QString()> currentFolder;         // the folder list's path
    std::function<QString()> listFolder;            // the file list's folder
    std::function<QStringList()> listedFiles;       // the names the file list shows, in order
    std::function<bool()> copyProtection;           // "INI,BATファイルのコピー禁止" is checked
    std::function<void()> refreshFileList;          // re-reads the file list
    std::function<void()> refreshFolderList;        // re-reads the folder list
    std::function<void(const QString&)> openFolder; // makes a folder current as a click does
    std::function<void(const QString&)> openTreePath;
    // The busy pointer on (true) and off while a folder's size is summed.
    std::function<void(bool)> busy;
};

// The main window's commands on the current file and folder: copy, delete,
// new folder, folder copy and delete, file lists and the information
// messages. Every message goes through the prompter; nothing here needs a
// window. A large copy, the folder copy and delete and the file lists run
// as the prompter's long work: the command returns once the work has
// started, and its last message comes when the work ends.
class FileCommands {
  public:
    FileCommands(Prompter& prompter, ProgramState& state, FileCommandHooks hooks);
    // Drops a folder sum still under way, without waiting for it.
    ~FileCommands();

    // How a folder's size is summed on the worker; a seam for tests (a
    // folder read that takes its time). The sum must stop when told.
    using FolderSizer = std::function<qint64(const QString& folder, const std::atomic<bool>& cancel)>;
    void setFolderSizer(FolderSizer sizer);
    bool summing() const { return summing_ != nullptr; }

    void Cop();
    void del();
    void makedir();
    void XCopy();
    void MoveFolder();
    void DirFL();
    void NowFlistToFL();
    void Finfomaintion();
    void FoInfo();
    void DriveInfo();

    // A file at least this large is copied under a progress of its bytes.
    static constexpr qint64 kLargeCopy = 100LL * 1000 * 1000;

  private:
    bool haveCurrentFile();
    void say(const QString& text);
    QString askListFile();
    // The list is gathered, written and committed as long work.
    void writeList(const QString& target, const QString& folder, std::function<QStringList()> names);
    void folderRemoved(const QString& folder, const TreeRemoveReport& report, qint64 left);

    Prompter& prompter_;
    ProgramState& state_;
    FileCommandHooks hooks_;
    FolderSizer sizer_;
    // The folder information's sum runs on a worker of its own: on /usr it
    // takes seconds, on a dead mount for ever. Its answer comes back through
    // the mailbox to `receiver_`, on the window's thread.
    std::unique_ptr<QObject> receiver_;
    std::shared_ptr<Mailbox> mailbox_;
    std::shared_ptr<std::atomic<bool>> summing_; // the sum under way, and how to stop it
};

} // namespace orbet
