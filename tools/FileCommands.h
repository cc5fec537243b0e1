#pragma once

#include <functional>

#include <QString>
#include <QStringList>

namespace orbet {

class Prompter;
struct ProgramState;

// What the file commands need of the main window.
struct FileCommandHooks {
    std::function<QString()> currentFolder;          // the folder list's path
    std::function<QString()> listFolder;             // the file list's folder
    std::function<QStringList()> listedFiles;        // the names the file list shows, in order
    std::function<bool()> copyProtection;            // "INI,BATファイルのコピー禁止" is checked
    std::function<void()> refreshFileList;           // re-reads the file list
    std::function<void()> refreshFolderList;         // re-reads the folder list
    std::function<void(const QString&)> openFolder;  // makes a folder current as a click does
    std::function<void(const QString&)> openTreePath;
};

// The main window's commands on the current file and folder: copy, delete,
// new folder, folder copy and delete, file lists and the information
// messages. Every message goes through the prompter; nothing here needs a
// window.
class FileCommands {
public:
    FileCommands(Prompter& prompter, ProgramState& state, FileCommandHooks hooks);

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

private:
    bool haveCurrentFile();
    void say(const QString& text);
    QString askListFile();
    void writeList(const QString& target, const QString& folder, const QStringList& names);

    Prompter& prompter_;
    ProgramState& state_;
    FileCommandHooks hooks_;
};

}  // namespace orbet
