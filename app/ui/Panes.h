#pragma once

#include <QString>

namespace orbet {

class Form1;

enum class DisplayGroup { None, Picture, Text, Web, Media };

// The four display panes of the main window behind one small interface.
// Pictures load through the toolkit's reader; text loads as plain text.
// The rich-text reader, the web engine and the media player attach here.
class Panes {
public:
    explicit Panes(Form1& form) : f_(form) {}

    void clearAll();
    void clearPicture();
    // Shows and hides the panes for a group of filters.
    void arrange(DisplayGroup group);

    bool loadPicture(const QString& path);
    bool loadText(const QString& path, bool rich);
    bool navigateWeb(const QString& path);
    bool openMedia(const QString& path);

    QString webAddress() const { return webAddress_; }
    QString mediaFile() const { return mediaFile_; }

private:
    Form1& f_;
    QString webAddress_;
    QString mediaFile_;
};

}  // namespace orbet
