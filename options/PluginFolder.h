#pragma once

#include <vector>

#include <QString>
#include <QStringList>

// The plug-in folder browser of the options dialog: what its labels say,
// what its folder list shows, and the form the chosen folder is stored in.
namespace orbet {

// Label7's text for the "*.spi" files of a folder: how many there are and
// how many of them are picture plug-ins (names beginning with "IF", in any
// case). The counts carry one leading blank.
QString pluginCountText(const QStringList& spiFiles);

// The folder as the per-user store keeps it: without a final separator.
// The root "/" keeps its one separator, since an empty stored folder means
// "none chosen" and the next start would quietly use the default folder.
QString storedPluginFolder(const QString& folder);

// Why a folder cannot be the plug-in folder, as the message the user sees;
// empty when it can (it exists, is a folder and can be listed, and no other
// user can put code in it: isSafeCodePath).
QString pluginFolderRefusal(const QString& folder);

// One line of the folder list: the folders from the root down to the
// current one, then the current one's subfolders one level deeper.
struct FolderLine {
    QString text; // the name; "/" for the root
    QString path;
    int depth = 0;
    bool current = false;
};
std::vector<FolderLine> folderLines(const QString& folder, const QStringList& subfolders);

} // namespace orbet
