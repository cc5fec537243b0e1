#pragma once

#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>

// The volumes stand where a Windows system has drives: the root "/" first,
// then the root of every other mounted real file system. A "drive root" of
// the program is a volume root.
namespace orbet {

// Numbered as the platform's drive types, since callers compare the numbers.
enum class DriveType : int {
    Unknown = 0,
    NoRoot = 1,
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    CdRom = 5,
    RamDisk = 6
};

struct Volume {
    QString root;  // mount point, "/" for the root; never a trailing "/" otherwise
    QString label; // empty when the file system has none
    QString fsType;
    DriveType type = DriveType::Unknown;
};

// One line of the mount table, as the machine reports it.
struct MountEntry {
    QString root;
    QByteArray device;
    QByteArray fsType;
    QString label;
};

// The volumes of this machine, "/" first and the others ordered by root.
std::vector<Volume> volumes();

// The drive list's entry: the root, and when there is a label, a blank and
// the label in square brackets ("/media/usb [STICK]").
QString volumeEntry(const Volume& volume);

// The type of the volume that holds `path`; NoRoot when `path` is not an
// existing folder, Unknown when the machine cannot say.
DriveType driveType(const QString& path);

// The deepest volume root that is a prefix of `path`, component by
// component; "/" when none is.
QString volumeRootOf(const QString& path);

// --- The rules behind the above, separate from the machine's mount table ---

// True for mounts that are not storage a user browses: kernel and memory
// file systems, anything mounted under /proc, /sys or /dev, and container or
// package images (overlay, squashfs) except when they are the root itself.
bool isPseudoFileSystem(const MountEntry& mount);

// The real file systems of `mounts`: pseudo ones left out, a root mounted
// twice kept once (the later mount, which hides the earlier), "/" first (made
// up with empty fields when missing) and the rest ordered by root.
std::vector<MountEntry> realMounts(const std::vector<MountEntry>& mounts);

// The type a file system gets from its kind and whether its block device is
// removable: CD types first, then network, memory, removable, else fixed.
DriveType classifyDrive(const QByteArray& fsType, bool removableDevice);

// Whether the block device (e.g. "/dev/sdb1", or a link to it) sits on a
// disk the kernel marks removable; a partition answers for its disk.
// `sysBlock` is the kernel's block class folder, replaceable for tests.
bool isRemovableDevice(const QByteArray& device,
                       const QString& sysBlock = QStringLiteral("/sys/class/block"));

// Whether `root` is `path` or one of its ancestors, comparing whole path
// components: "/home" is a prefix of "/home/a" but not of "/homework".
bool isPathPrefix(const QString& root, const QString& path);

// The longest of `roots` that is a component prefix of `path`; "/" when none.
QString deepestRoot(const QString& path, const QStringList& roots);

} // namespace orbet
