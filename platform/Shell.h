#pragma once

#include <functional>

#include <QString>
#include <QStringList>
#include <QUrl>

#include "platform/Prompter.h"

// Handing files, folders and programs to the desktop.
namespace orbet {

// Opens a file with the program the desktop associates with it (also used
// for "open in the text editor"). False when the desktop refused.
bool openWithDesktop(const QString& path);

// Shows a folder in the desktop's file manager; an empty `folder` shows the
// user's home folder.
bool openFolderWithDesktop(const QString& folder);

// Opens a file or folder given as the file system's bytes, so that a name
// that is not valid text still reaches the right entry.
bool openNativePathWithDesktop(const QByteArray& path);

// Starts a program detached from this one. When it cannot be started, says
// so through `prompter` under `title` ("<program> が見つかりません。", with
// `program` as given) and returns false.
bool startProgram(const QString& program, const QStringList& args, Prompter& prompter, const QString& title);

// What the two desktop functions call to open a URL; tests replace it so no
// real program starts. Passing an empty function restores the desktop's.
using DesktopOpener = std::function<bool(const QUrl&)>;
void setDesktopOpener(DesktopOpener opener);

} // namespace orbet
