#pragma once

#include <QByteArray>
#include <QString>

namespace orbet {

// Every file the program writes goes through here: the bytes go to a new
// file beside the target, every step (write, flush, sync, close) is checked,
// and only then is the new file renamed over the target. A failure at any
// step removes the new file and leaves the old target whole. QSaveFile is
// not used because Qt 6.4 commits after a failed final flush (a full disk)
// and replaces the target with an empty file.
class AtomicWriter {
public:
    explicit AtomicWriter(const QString& path);
    // Byte form of the path, for names that are not valid UTF-8.
    explicit AtomicWriter(const QByteArray& nativePath);
    ~AtomicWriter();  // an uncommitted writer discards its new file
    AtomicWriter(const AtomicWriter&) = delete;
    AtomicWriter& operator=(const AtomicWriter&) = delete;

    bool open();
    bool write(const char* data, qint64 size);
    bool write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }
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

    QByteArray target_;
    QByteArray temp_;
    QByteArray buffer_;
    int fd_ = -1;
    QString error_;
    int errno_ = 0;
};

// One-shot form: true when the whole of bytes reached path.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

}  // namespace orbet
