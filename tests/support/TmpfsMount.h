#pragma once

#include <cerrno>
#include <cstring>

#include <sys/mount.h>

#include <QDir>
#include <QFile>
#include <QString>

namespace orbet::test {

// A small tmpfs mounted on a folder of the test's own (created when
// missing), to see what the program does with another file system below a
// folder or with a read-only one. Mounting needs privileges the machine may
// not give: check valid() and skip with reason() when it fails.
class TmpfsMount {
  public:
    explicit TmpfsMount(const QString& where) : where_(where) {
        QDir().mkpath(where);
        if (::mount("tmpfs", path().constData(), "tmpfs", 0, "size=256k") == 0)
            mounted_ = true;
        else
            reason_ =
                QStringLiteral("cannot mount a tmpfs here: ") + QString::fromLocal8Bit(std::strerror(errno));
    }
    ~TmpfsMount() {
        if (mounted_) ::umount2(path().constData(), MNT_DETACH);
    }
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    bool valid() const { return mounted_; }
    QString reason() const { return reason_; }
    // Makes the file system read-only from now on; its files stay writable
    // by their modes.
    bool makeReadOnly() {
        return ::mount(nullptr, path().constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

  private:
    QByteArray path() const { return QFile::encodeName(where_); }

    QString where_;
    bool mounted_ = false;
    QString reason_;
};

} // namespace orbet::test
