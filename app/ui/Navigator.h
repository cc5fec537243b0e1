#pragma once

#include <functional>
#include <memory>

#include <QString>
#include <QStringList>

#include "navigation/FolderProbe.h"

namespace orbet {

class MainParts;
class FolderTree;

// The folder and file-list operations every part of the window uses to
// change the current folder, the filter and the shown file.
class Navigator {
  public:
    explicit Navigator(MainParts& form);
    // For tests: stands in for the file system when a click probes a folder.
    void setFolderProbe(std::function<FolderStatus(const QString&)> probe);
    ~Navigator();

    FolderTree& tree() { return *tree_; }

    // Builds the drive level of the tree ("ALL": every volume).
    void DriveCheck(const QString& which);
    // F5: rebuilds the tree and walks back to the file list's folder.
    void ReViewS();
    // Makes a folder current and brings every text that mirrors it in line.
    // The entry named `keep` is selected when the folder still lists it,
    // otherwise the first one.
    void OpenFolder(const QString& path, const QString& keep = {});
    // For a path from outside the tree: does nothing when it names nothing;
    // otherwise walks the tree down the path, opening nodes on the way, and
    // makes the deepest node reached current.
    void OpenTreePath(const QString& path);
    // A filter chosen in the filter combo (by the user or from code).
    void Combo1_Click(int index);
    void SetF();
    // Timer1's reading: the same folder again changes only what changed on
    // disk, and leaves the file on show as it is while the folder lists it.
    void RereadFolder();
    // Runs the step now when the file list is complete, else once it is; a
    // later step replaces one still waiting (the last choice made wins).
    void afterListing(std::function<void()> step);

    // Texts shared by several operations.
    QString objectsText(const QString& prefix) const;
    // The status line for the shown file: its path, the folder and its count.
    QString filesText() const;
    void setBytesFromCurrentFile();
    // Pattern suffix the decoder plug-ins add to the picture filter.
    QString pluginPatternSuffix() const;

  private:
    void chooseFile(const QString& keep);
    void fillPathCombo();
    void listed();

    MainParts& f_;
    std::function<void()> afterListing_;
    QStringList comboSubfolders_; // the subfolders the path combo offers
    std::unique_ptr<FolderTree> tree_;
    bool openFolderGuard_ = false;
};

} // namespace orbet
