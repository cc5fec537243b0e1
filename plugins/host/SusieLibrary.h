#pragma once

#include <cstddef>
#include <memory>

#include <QByteArray>
#include <QString>

#include "plugins/host/SusiePlugin.h"

namespace orbet {

struct FreeDeleter {
    void operator()(void* block) const noexcept;
};

// A block a plug-in allocated with malloc; the host releases it with free.
using PluginBlock = std::unique_ptr<void, FreeDeleter>;

// How many bytes of a malloc block may be read (0 for null).
std::size_t blockSize(const void* block);

// An info text as a plug-in wrote it (UTF-8 up to its NUL); a multi-byte
// character cut by the buffer's end is dropped.
QString pluginText(const QByteArray& bytes);

// What GetPicture handed back: its return code and the two blocks (either
// may be null whatever the code says).
struct PictureBlocks {
    int result = SPI_NOT_IMPLEMENTED;
    PluginBlock header;
    PluginBlock pixels;
};

// One plug-in loaded into the process; it stays loaded until the object is
// destroyed. This is what a plug-in handle stands for.
class SusieLibrary {
  public:
    // Size of the text buffer every info request goes through.
    static constexpr int InfoBufferSize = 100;

    struct Entries {
        GetPluginInfoFunction getPluginInfo = nullptr;
        IsSupportedFunction isSupported = nullptr;
        GetPictureInfoFunction getPictureInfo = nullptr;
        GetPictureFunction getPicture = nullptr;
        GetPictureFunction getPreview = nullptr; // optional
    };

    // Loads with dlopen(RTLD_NOW | RTLD_LOCAL). Null when the file is not a
    // shared object, lacks one of the four required functions or is not an
    // import filter (info 0 is not "00IN"); reason then says why.
    static std::unique_ptr<SusieLibrary> load(const QString& path, QString* reason = nullptr);

    ~SusieLibrary();
    SusieLibrary(const SusieLibrary&) = delete;
    SusieLibrary& operator=(const SusieLibrary&) = delete;

    const QString& path() const { return path_; }
    const Entries& entries() const { return entries_; }

    // The info text up to its NUL, UTF-8 decoded; a multi-byte character cut
    // by the buffer's end is dropped.
    QString info(int infoNo) const;
    QByteArray infoBytes(int infoNo) const;

    // head must hold at least SPI_HEAD_SIZE bytes.
    bool isSupported(const QString& filePath, const void* head) const;

    // Decodes a whole file held in memory. The output pointers are preset to
    // null and a progress callback that never cancels is passed.
    PictureBlocks getPicture(const QByteArray& contents) const;

  private:
    SusieLibrary(void* handle, const QString& path, const Entries& entries);

    void* handle_;
    QString path_;
    Entries entries_;
};

} // namespace orbet
