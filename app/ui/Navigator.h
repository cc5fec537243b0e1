#pragma once

#include <QString>

namespace orbet {

class Form1;

// The folder and file-list operations every part of the window uses to
// change the current folder, the filter and the shown file.
class Navigator {
public:
    explicit Navigator(Form1& form) : f_(form) {}

    // Builds the drive level of the tree ("ALL": every volume).
    void DriveCheck(const QString& which);
    // Makes a folder current and brings every text that mirrors it in line.
    void OpenFolder(const QString& path);
    // For a path from outside the tree: does nothing when it names nothing;
    // a file opens its folder.
    void OpenTreePath(const QString& path);
    // A filter chosen in the filter combo (by the user or from code).
    void Combo1_Click(int index);
    void SetF();
    void File1_Click();
    void ShowFile();

    // Texts shared by several operations.
    QString objectsText(const QString& prefix) const;
    void setBytesFromCurrentFile();
    // Pattern suffix the decoder plug-ins add to the picture filter.
    QString pluginPatternSuffix() const { return {}; }

private:
    Form1& f_;
    bool openFolderGuard_ = false;
};

}  // namespace orbet
