#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/Volumes.h"
#include "support/TestSupport.h"

namespace orbet {
namespace {

QStringList rootsOf(const std::vector<MountEntry>& mounts) {
    QStringList roots;
    for (const MountEntry& m : mounts)
        roots.push_back(m.root);
    return roots;
}

TEST(VolumePaths, PrefixComparesWholeComponents) {
    EXPECT_TRUE(isPathPrefix("/", "/anything/below"));
    EXPECT_TRUE(isPathPrefix("/home", "/home"));
    EXPECT_TRUE(isPathPrefix("/home", "/home/user/file.txt"));
    EXPECT_TRUE(isPathPrefix("/media/usb/", "/media/usb/pictures"));
    EXPECT_FALSE(isPathPrefix("/home", "/homework"));
    EXPECT_FALSE(isPathPrefix("/", "relative/path"));

    const QStringList roots{"/", "/home/user/data", "/home", "/media/usb"};
    EXPECT_EQ(deepestRoot("/home/user/data/a.txt", roots), "/home/user/data");
    EXPECT_EQ(deepestRoot("/home/user/database/a.txt", roots), "/home");
    EXPECT_EQ(deepestRoot("/homework/a.txt", roots), "/");
    EXPECT_EQ(deepestRoot("/media/usb/../other", roots), "/");
}

TEST(VolumeList, PseudoFileSystemsAreLeftOut) {
    const std::vector<MountEntry> mounts = {
        {"/proc", "proc", "proc", {}},
        {"/dev/shm", "tmpfs", "tmpfs", {}},
        {"/run", "tmpfs", "tmpfs", {}},
        {"/home", "/dev/sda3", "ext4", {}},
        {"/", "/dev/sda2", "ext4", {}},
        {"/sys/fs/cgroup", "cgroup2", "cgroup2", {}},
        {"/boot/efi", "/dev/sda1", "vfat", {}},
        {"/snap/core/1234", "/dev/loop0", "squashfs", {}},
        {"/var/lib/docker/overlay2/a/merged", "overlay", "overlay", {}},
        {"/run/user/1000/gvfs", "gvfsd-fuse", "fuse.gvfsd-fuse", {}},
        {"/mnt/share", "server:/export", "nfs4", {}},
        {"/run/media/user/STICK", "/dev/sdb1", "vfat", "STICK"},
    };
    EXPECT_EQ(rootsOf(realMounts(mounts)),
              (QStringList{"/", "/boot/efi", "/home", "/mnt/share", "/run/media/user/STICK"}));
}

TEST(VolumeList, RootFirstLaterMountWinsContainerRootKept) {
    EXPECT_EQ(rootsOf(realMounts({{"/srv/b", "/dev/b", "ext4", {}}, {"/srv/a", "/dev/a", "xfs", {}}})),
              (QStringList{"/", "/srv/a", "/srv/b"}));

    const auto real = realMounts({{"/", "overlay", "overlay", {}},
                                  {"/data/", "/dev/sdb1", "ext4", "OLD"},
                                  {"/data", "nas:/data", "nfs", {}}});
    ASSERT_EQ(real.size(), 2u);
    EXPECT_EQ(real[0].fsType, "overlay");
    EXPECT_EQ(real[1].root, "/data");
    EXPECT_EQ(real[1].fsType, "nfs");
}

TEST(VolumeList, EntryAndDriveType) {
    EXPECT_EQ(volumeEntry({"/", {}, "ext4", DriveType::Fixed}), "/");
    EXPECT_EQ(volumeEntry({"/media/usb", "写真", "vfat", DriveType::Removable}), "/media/usb [写真]");

    EXPECT_EQ(classifyDrive("iso9660", true), DriveType::CdRom);
    EXPECT_EQ(classifyDrive("udf", false), DriveType::CdRom);
    for (const char* remote : {"nfs", "nfs4", "cifs", "smb3", "fuse.sshfs", "9p"})
        EXPECT_EQ(classifyDrive(remote, false), DriveType::Remote) << remote;
    EXPECT_EQ(classifyDrive("tmpfs", false), DriveType::RamDisk);
    EXPECT_EQ(classifyDrive("vfat", true), DriveType::Removable);
    EXPECT_EQ(classifyDrive("ext4", false), DriveType::Fixed);
}

// A miniature of the kernel's block class folder: removable disk sdb with
// partition sdb1, fixed disk sda with partition sda1, and a by-label link.
TEST(VolumeList, RemovableDiskAnswersForItsPartitions) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir root(dir.path());
    for (const char* folder : {"devices/sdb/sdb1", "devices/sda/sda1", "block", "dev", "by-label"})
        ASSERT_TRUE(root.mkpath(folder));
    for (const char* disk : {"sda", "sdb"}) {
        const QString d = QStringLiteral("devices/") + disk;
        ASSERT_TRUE(
            test::writeAll(root.filePath(d + "/removable"), disk == QLatin1String("sdb") ? "1\n" : "0\n"));
        ASSERT_TRUE(test::writeAll(root.filePath(d + u'/' + disk + "1/partition"), "1\n"));
        ASSERT_TRUE(QFile::link(root.filePath(d), root.filePath(QStringLiteral("block/") + disk)));
        ASSERT_TRUE(QFile::link(root.filePath(d + u'/' + disk + '1'),
                                root.filePath(QStringLiteral("block/") + disk + '1')));
    }
    ASSERT_TRUE(test::writeAll(root.filePath("dev/sdb1"), {}));
    ASSERT_TRUE(QFile::link(root.filePath("dev/sdb1"), root.filePath("by-label/STICK")));

    const QString sys = root.filePath("block");
    EXPECT_TRUE(isRemovableDevice("/dev/sdb1", sys));
    EXPECT_TRUE(isRemovableDevice("/dev/sdb", sys));
    EXPECT_TRUE(isRemovableDevice(QFile::encodeName(root.filePath("by-label/STICK")), sys));
    EXPECT_FALSE(isRemovableDevice("/dev/sda1", sys));
    EXPECT_FALSE(isRemovableDevice("/dev/nvme9n9p9", sys));
    EXPECT_FALSE(isRemovableDevice("server:/export", sys));
}

TEST(MachineVolumes, ListTypesAndRoots) {
    const auto list = volumes();
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.front().root, "/");
    for (const Volume& v : list) {
        EXPECT_FALSE(v.root.startsWith("/proc") || v.root.startsWith("/sys/")) << v.root.toStdString();
        EXPECT_NE(v.fsType, "tmpfs") << v.root.toStdString();
    }

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid() && test::writeAll(dir.filePath("file.txt"), "x"));
    EXPECT_NE(driveType("/"), DriveType::NoRoot);
    EXPECT_EQ(driveType(dir.filePath("missing")), DriveType::NoRoot);
    EXPECT_EQ(driveType(dir.filePath("file.txt")), DriveType::NoRoot);
    EXPECT_EQ(volumeRootOf("/no-such-top-folder/x"), "/");
    EXPECT_TRUE(isPathPrefix(volumeRootOf(dir.filePath("file.txt")), dir.path()));
}

} // namespace
} // namespace orbet
