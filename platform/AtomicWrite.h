#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QString>

namespace orbet {

// What a writer does when the target's name is a symbolic link.
enum class LinkAtTarget {
    // The link's own name is replaced by the new file; what it pointed to is
    // never touched. Anything written where others can place names (a copy's
    // destination above all) must be written this way.
    Replace,
    // The link is followed when the user owns it: a settings file the user
    // keeps elsewhere through a link stays there, and the link stays a link.
    // A link someone else placed is replaced as above.
    FollowOwn,
};

// Every file the program writes goes through here: the bytes go to a new
// file beside the target, every step (write, flush, sync, close) is checked,
// and only then is the new file renamed over the target. A failure at any
// step removes the new file and leaves the old target whole. QSaveFile is
// not used because Qt 6.4 commits after a failed final flush (a full disk)
// and replaces the target with an empty file.
class AtomicWriter {
  public:
    explicit AtomicWriter(const QString& path, LinkAtTarget links = LinkAtTarget::Replace);
    // Byte form of the path, for names that are not valid UTF-8.
    explicit AtomicWriter(const QByteArray& nativePath, LinkAtTarget links = LinkAtTarget::Replace);
    // A name inside a folder the caller holds open (the descriptor is
    // borrowed, not closed): the folder cannot be swapped for a link to
    // somewhere else between the caller's checks and the write.
    AtomicWriter(int folderFd, const QByteArray& name);
    ~AtomicWriter(); // an uncommitted writer discards its new file
    AtomicWriter(const AtomicWriter&) = delete;
    AtomicWriter& operator=(const AtomicWriter&) = delete;

    bool open();
    bool write(const char* data, qint64 size);
    bool write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }
    // The permissions the new file gets instead of the old target's (or a new
    // file's ordinary ones). They are set on the new file itself before it
    // takes the target's name, never by the name.
    void setPermissions(mode_t mode) {
        mode_ = mode & 07777;
        modeGiven_ = true;
    }
    // Flushes, syncs and renames over the target. False leaves the target as
    // it was.
    bool commit();
    void discard();

    // The system's reason for the first failure, empty when none.
    QString errorString() const { return error_; }
    int errorNumber() const { return errno_; }

  private:
    bool fail(int err);
    bool flushBuffer();

    QByteArray target_; // a path, or a name inside folderFd_
    int borrowedFolder_ = -1;
    int folderFd_ = -1;
    QByteArray name_;
    QByteArray temp_;
    QByteArray buffer_;
    int fd_ = -1;
    mode_t mode_ = 0;
    bool modeGiven_ = false;
    QString error_;
    int errno_ = 0;
};

// One-shot form: true when the whole of bytes reached path.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr,
                         LinkAtTarget links = LinkAtTarget::Replace);

} // namespace orbet
