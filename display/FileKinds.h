#pragma once

#include <QString>

namespace orbet {

class UserFilterTable;

// How a file is shown; which pane follows from it.
enum class ShowRoute { None, PictureAuto, PictureBuiltIn, Text, Web, Media, Program, AnyFile };

// Classes of paths that arrive from outside the file list, in the order they are tried.
enum class ExtensionClass { Picture, WebPage, RichText, PlainText, Media, Other };

constexpr int kBuiltInFilterCount = 15;
constexpr int kPictureFilter = 0;
constexpr int kTextFilter = 8;
constexpr int kWebFilter = 9;
constexpr int kMediaFilter = 10;
constexpr int kProgramFilter = 13;

// The fixed entries of the filter combo, indices 0 to 14.
QString builtInFilterText(int index);

// The key is the last four characters upper-cased, not the text after the
// dot: x.jpeg matches "JPEG", x.midi matches nothing.
ExtensionClass ClassifyExtension(const QString& path);
int FilterEntryForClass(ExtensionClass cls);
// The "any file" entry is recognised by its text (with the trailing blank);
// every other index from 14 on is a user filter row.
ShowRoute RouteForEntry(int index, const QString& entryText, const UserFilterTable& filters);
bool IsBuiltInPictureName(const QString& path);
bool IsRichTextName(const QString& path);

} // namespace orbet
