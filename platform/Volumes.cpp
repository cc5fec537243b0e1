#include "platform/Volumes.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <string_view>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace orbet {

namespace {

template <std::size_t N> bool isOneOf(const QByteArray& value, const std::string_view (&names)[N]) {
    const std::string_view v(value.constData(), std::size_t(value.size()));
    return std::find(std::begin(names), std::end(names), v) != std::end(names);
}

// Kernel, memory and desktop-service file systems: nothing a user stores on.
constexpr std::string_view kPseudoTypes[] = {
    "proc",     "sysfs",           "devtmpfs",    "devpts",     "tmpfs",    "ramfs",
    "cgroup",   "cgroup2",         "securityfs",  "pstore",     "debugfs",  "tracefs",
    "configfs", "fusectl",         "mqueue",      "hugetlbfs",  "bpf",      "binfmt_misc",
    "autofs",   "rpc_pipefs",      "nfsd",        "nsfs",       "efivarfs", "selinuxfs",
    "rootfs",   "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs", "devfs",
};

// Container and package images: the root of a container is one, but
// elsewhere they are the innards of a snap or a container engine.
constexpr std::string_view kImageTypes[] = {"overlay", "aufs", "squashfs", "fuse.snapfuse"};

constexpr std::string_view kCdTypes[] = {"iso9660", "udf"};

constexpr std::string_view kRemoteTypes[] = {
    "nfs",       "nfs4",        "cifs",       "smb3",        "smbfs",
    "ncpfs",     "afs",         "ceph",       "glusterfs",   "9p",
    "davfs",     "sshfs",       "fuse.sshfs", "fuse.rclone", "fuse.glusterfs",
    "fuse.s3fs", "fuse.davfs2", "lustre",     "gpfs",
};

constexpr std::string_view kMemoryTypes[] = {"tmpfs", "ramfs"};

// Mount points without their trailing separators, except the root itself.
QString trimmedRoot(const QString& root) {
    QString r = root;
    while (r.size() > 1 && r.endsWith(u'/'))
        r.chop(1);
    return r;
}

std::vector<MountEntry> machineMounts() {
    std::vector<MountEntry> mounts;
    for (const QStorageInfo& info : QStorageInfo::mountedVolumes()) {
        // Containers bind single files (/etc/hosts) as mounts; only folders
        // can be volumes.
        if (!QFileInfo(info.rootPath()).isDir()) continue;
        mounts.push_back({info.rootPath(), info.device(), info.fileSystemType(), info.name()});
    }
    return mounts;
}

QString readFirstLine(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(f.readLine()).trimmed();
}

} // namespace

bool isPseudoFileSystem(const MountEntry& mount) {
    const QString root = trimmedRoot(mount.root);
    if (isPathPrefix(QStringLiteral("/proc"), root) || isPathPrefix(QStringLiteral("/sys"), root) ||
        isPathPrefix(QStringLiteral("/dev"), root))
        return true;
    if (isOneOf(mount.fsType, kPseudoTypes)) return true;
    if (isOneOf(mount.fsType, kImageTypes)) return root != u'/';
    return false;
}

std::vector<MountEntry> realMounts(const std::vector<MountEntry>& mounts) {
    std::map<QString, MountEntry> byRoot;
    for (const MountEntry& m : mounts) {
        if (!m.root.startsWith(u'/') || isPseudoFileSystem(m)) continue;
        MountEntry kept = m;
        kept.root = trimmedRoot(m.root);
        byRoot.insert_or_assign(kept.root, kept);
    }
    std::vector<MountEntry> result;
    const auto root = byRoot.find(QStringLiteral("/"));
    if (root != byRoot.end()) {
        result.push_back(root->second);
        byRoot.erase(root);
    } else {
        result.push_back({QStringLiteral("/"), {}, {}, {}});
    }
    for (auto& [_, m] : byRoot)
        result.push_back(m);
    return result;
}

DriveType classifyDrive(const QByteArray& fsType, bool removableDevice) {
    if (isOneOf(fsType, kCdTypes)) return DriveType::CdRom;
    if (isOneOf(fsType, kRemoteTypes)) return DriveType::Remote;
    if (isOneOf(fsType, kMemoryTypes)) return DriveType::RamDisk;
    if (removableDevice) return DriveType::Removable;
    return DriveType::Fixed;
}

bool isRemovableDevice(const QByteArray& device, const QString& sysBlock) {
    if (!device.startsWith('/')) return false; // network shares, "overlay", "none"
    QString node = QFileInfo(QString::fromLocal8Bit(device)).canonicalFilePath();
    if (node.isEmpty()) node = QString::fromLocal8Bit(device);
    const QString name = QFileInfo(node).fileName();
    if (name.isEmpty()) return false;

    QString entry = QFileInfo(QDir(sysBlock).filePath(name)).canonicalFilePath();
    if (entry.isEmpty()) return false;
    // A partition's folder sits inside its disk's, and only the disk says
    // whether it can be taken out.
    if (QFileInfo::exists(entry + QStringLiteral("/partition"))) entry = QFileInfo(entry).path();
    return readFirstLine(entry + QStringLiteral("/removable")) == u'1';
}

bool isPathPrefix(const QString& root, const QString& path) {
    const QString r = trimmedRoot(root);
    if (r.isEmpty()) return false;
    if (r == u'/') return path.startsWith(u'/');
    if (!path.startsWith(r)) return false;
    return path.size() == r.size() || path.at(r.size()) == u'/';
}

QString deepestRoot(const QString& path, const QStringList& roots) {
    const QString cleaned = QDir::cleanPath(path);
    QString best = QStringLiteral("/");
    for (const QString& root : roots) {
        const QString r = trimmedRoot(root);
        if (r.size() > best.size() && isPathPrefix(r, cleaned)) best = r;
    }
    return best;
}

std::vector<Volume> volumes() {
    std::vector<Volume> result;
    for (const MountEntry& m : realMounts(machineMounts())) {
        const bool removable = isRemovableDevice(m.device);
        result.push_back(
            {m.root, m.label, QString::fromLatin1(m.fsType), classifyDrive(m.fsType, removable)});
    }
    return result;
}

QString volumeEntry(const Volume& volume) {
    if (volume.label.isEmpty()) return volume.root;
    return volume.root + QStringLiteral(" [") + volume.label + u']';
}

DriveType driveType(const QString& path) {
    if (!QFileInfo(path).isDir()) return DriveType::NoRoot;
    const QStorageInfo info(path);
    if (!info.isValid()) return DriveType::Unknown;
    return classifyDrive(info.fileSystemType(), isRemovableDevice(info.device()));
}

QString volumeRootOf(const QString& path) {
    QStringList roots;
    for (const MountEntry& m : realMounts(machineMounts()))
        roots.push_back(m.root);
    return deepestRoot(path, roots);
}

} // namespace orbet
