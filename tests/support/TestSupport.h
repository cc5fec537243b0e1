#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace orbet::test {

// Path of a file in the shared read-only test data.
QString testData(const QString& relative);

// Folder the build lays the program in (build/orbet and its resources).
QString buildDir();

// A Wine prefix in a temporary folder of the test program's own, shared by
// all its tests: Wine takes tens of seconds to make one. Wine's server is
// stopped before the folder goes, or it would write into it as it ends.
QString sharedWinePrefix();

QByteArray readAll(const QString& path);
bool writeAll(const QString& path, const QByteArray& bytes);

// A temporary folder for files whose names are not UTF-8: Qt cannot remove
// those, so the folder is removed by its bytes. nativePath() is the folder's
// bytes with a trailing separator; writeNative puts a file there by the
// bytes of its name (and of its content).
class ByteNamedFolder {
  public:
    ByteNamedFolder();
    ~ByteNamedFolder();
    ByteNamedFolder(const ByteNamedFolder&) = delete;
    ByteNamedFolder& operator=(const ByteNamedFolder&) = delete;

    bool isValid() const { return folder_.isValid(); }
    QString path() const { return folder_.path(); }
    QByteArray nativePath() const;
    bool writeNative(const QByteArray& relative, const QByteArray& bytes) const;
    bool makeFolderNative(const QByteArray& relative) const;
    bool existsNative(const QByteArray& relative) const;
    QByteArray readNative(const QByteArray& relative) const;

  private:
    QTemporaryDir folder_;
};

// A real file system of a few kilobytes mounted on a temporary folder, to see
// what the program does when a disk fills up. Mounting needs privileges the
// machine may not give: check valid() and skip with reason() when it fails.
class SmallFileSystem {
  public:
    explicit SmallFileSystem(int kilobytes);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool valid() const { return mounted_; }
    QString reason() const { return reason_; }
    QString path() const { return folder_.path(); }
    // Fills what is left of the file system with one file.
    void fill();

  private:
    QTemporaryDir folder_;
    bool mounted_ = false;
    QString reason_;
};

} // namespace orbet::test
