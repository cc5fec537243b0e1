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
    for (const MountEntry& m : mounts) roots.push_back(m.root);
    return roots;
}

TEST(VolumePaths, PrefixComparesWholeComponents) {
    EXPECT_TRUE(isPathPrefix("/", "/anything/below"));
    EXPECT_TRUE(isPathPrefix("/home", "/home"));
    EXPECT_TRUE(isPathPrefix("/home", "/home/"));
    EXPECT_TRUE(isPathPrefix("/home", "/home/user/file.txt"));
    EXPECT_TRUE(isPathPrefix("/media/usb/", "/media/usb/pictures"));
    EXPECT_FALSE(isPathPrefix("/home", "/homework"));
    EXPECT_FALSE(isPathPrefix("/home/user", "/home"));
    EXPECT_FALSE(isPathPrefix("/", "relative/path"));
    EXPECT_FALSE(isPathPrefix("", "/home"));
}

TEST(VolumePaths, DeepestRootWins) {
    const QStringList roots{"/", "/home/user/data", "/home", "/media/usb"};
    EXPECT_EQ(deepestRoot("/home/user/data/a.txt", roots), "/home/user/data");
    EXPECT_EQ(deepestRoot("/home/user/database/a.txt", roots), "/home");
    EXPECT_EQ(deepestRoot("/homework/a.txt", roots), "/");
    EXPECT_EQ(deepestRoot("/media/usb", roots), "/media/usb");
    EXPECT_EQ(deepestRoot("/media/usb/../other", roots), "/");
    EXPECT_EQ(deepestRoot("/etc/hosts", {}), "/");
}

TEST(VolumeList, PseudoFileSystemsAreLeftOut) {
    const std::vector<MountEntry> mounts = {
        {"/proc", "proc", "proc", {}},
        {"/sys", "sysfs", "sysfs", {}},
        {"/dev", "udev", "devtmpfs", {}},
        {"/dev/shm", "tmpfs", "tmpfs", {}},
        {"/run", "tmpfs", "tmpfs", {}},
        {"/home", "/dev/sda3", "ext4", {}},
        {"/", "/dev/sda2", "ext4", {}},
        {"/sys/fs/cgroup", "cgroup2", "cgroup2", {}},
        {"/boot/efi", "/dev/sda1", "vfat", {}},
        {"/snap/core/1234", "/dev/loop0", "squashfs", {}},
        {"/var/lib/docker/overlay2/abc/merged", "overlay", "overlay", {}},
        {"/run/user/1000/gvfs", "gvfsd-fuse", "fuse.gvfsd-fuse", {}},
        {"/mnt/share", "server:/export", "nfs4", {}},
        {"/run/media/user/STICK", "/dev/sdb1", "vfat", "STICK"},
        {"/media/user/Data", "/dev/sdc1", "fuseblk", {}},
        {"/proc/sys/fs/binfmt_misc", "binfmt_misc", "binfmt_misc", {}},
    };
    const QStringList expected{"/", "/boot/efi", "/home", "/media/user/Data", "/mnt/share", "/run/media/user/STICK"};
    EXPECT_EQ(rootsOf(realMounts(mounts)), expected);
}

TEST(VolumeList, ContainerRootIsKept) {
    // Inside a container "/" is an overlay and most else is pseudo.
    const std::vector<MountEntry> mounts = {
        {"/", "overlay", "overlay", {}},
        {"/proc", "proc", "proc", {}},
        {"/work", "/dev/vdb", "ext4", {}},
    };
    const auto real = realMounts(mounts);
    EXPECT_EQ(rootsOf(real), (QStringList{"/", "/work"}));
    EXPECT_EQ(real.front().fsType, "overlay");
    EXPECT_TRUE(isPseudoFileSystem({"/var/lib/x", "overlay", "overlay", {}}));
    EXPECT_FALSE(isPseudoFileSystem({"/", "/dev/loop0", "squashfs", {}}));
}

TEST(VolumeList, RootComesFirstEvenWhenMissingOrLate) {
    const auto real = realMounts({{"/srv/b", "/dev/b", "ext4", {}}, {"/srv/a", "/dev/a", "xfs", {}}});
    EXPECT_EQ(rootsOf(real), (QStringList{"/", "/srv/a", "/srv/b"}));
    EXPECT_TRUE(real.front().fsType.isEmpty());
}

TEST(VolumeList, LaterMountOfSameRootHidesEarlier) {
    const auto real = realMounts({
        {"/", "/dev/sda1", "ext4", {}},
        {"/data/", "/dev/sdb1", "ext4", "OLD"},
        {"/data", "nas:/data", "nfs", {}},
    });
    ASSERT_EQ(real.size(), 2u);
    EXPECT_EQ(real[1].root, "/data");
    EXPECT_EQ(real[1].fsType, "nfs");
    EXPECT_TRUE(real[1].label.isEmpty());
}

TEST(VolumeList, EntryShowsLabelInBrackets) {
    EXPECT_EQ(volumeEntry({"/", {}, "ext4", DriveType::Fixed}), "/");
    EXPECT_EQ(volumeEntry({"/media/usb", "写真", "vfat", DriveType::Removable}), "/media/usb [写真]");
}

TEST(DriveTypes, ClassifiedByFileSystemThenDevice) {
    EXPECT_EQ(classifyDrive("iso9660", true), DriveType::CdRom);
    EXPECT_EQ(classifyDrive("udf", false), DriveType::CdRom);
    for (const char* remote : {"nfs", "nfs4", "cifs", "smb3", "fuse.sshfs", "9p"})
        EXPECT_EQ(classifyDrive(remote, false), DriveType::Remote) << remote;
    EXPECT_EQ(classifyDrive("tmpfs", false), DriveType::RamDisk);
    EXPECT_EQ(classifyDrive("vfat", true), DriveType::Removable);
    EXPECT_EQ(classifyDrive("ext4", false), DriveType::Fixed);
    EXPECT_EQ(classifyDrive("", false), DriveType::Fixed);
    EXPECT_EQ(int(DriveType::NoRoot), 1);
    EXPECT_EQ(int(DriveType::CdRom), 5);
}

// A miniature of the kernel's block class folder: a removable disk sdb with
// partition sdb1, and a fixed disk sda with partition sda1.
class RemovableDevices : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const QDir root(dir.path());
        ASSERT_TRUE(root.mkpath("devices/sdb/sdb1") && root.mkpath("devices/sda/sda1") && root.mkpath("block") &&
                    root.mkpath("dev") && root.mkpath("by-label"));
        ASSERT_TRUE(test::writeAll(dir.filePath("devices/sdb/removable"), "1\n"));
        ASSERT_TRUE(test::writeAll(dir.filePath("devices/sdb/sdb1/partition"), "1\n"));
        ASSERT_TRUE(test::writeAll(dir.filePath("devices/sda/removable"), "0\n"));
        ASSERT_TRUE(test::writeAll(dir.filePath("devices/sda/sda1/partition"), "1\n"));
        for (const char* link : {"sdb", "sdb/sdb1", "sda", "sda/sda1"}) {
            const QString target = dir.filePath(QStringLiteral("devices/") + link);
            ASSERT_TRUE(QFile::link(target, sysBlock() + u'/' + QString(link).section(u'/', -1)));
        }
        ASSERT_TRUE(test::writeAll(dir.filePath("dev/sdb1"), {}));
        ASSERT_TRUE(QFile::link(dir.filePath("dev/sdb1"), dir.filePath("by-label/STICK")));
    }
    QString sysBlock() const { return dir.filePath("block"); }

    QTemporaryDir dir;
};

TEST_F(RemovableDevices, PartitionAnswersForItsDisk) {
    EXPECT_TRUE(isRemovableDevice("/dev/sdb1", sysBlock()));
    EXPECT_TRUE(isRemovableDevice("/dev/sdb", sysBlock()));
    EXPECT_FALSE(isRemovableDevice("/dev/sda1", sysBlock()));
    EXPECT_FALSE(isRemovableDevice("/dev/sda", sysBlock()));
}

TEST_F(RemovableDevices, LinksToTheDeviceAreFollowed) {
    EXPECT_TRUE(isRemovableDevice(QFile::encodeName(dir.filePath("by-label/STICK")), sysBlock()));
}

TEST_F(RemovableDevices, NonBlockSourcesAreNotRemovable) {
    EXPECT_FALSE(isRemovableDevice("overlay", sysBlock()));
    EXPECT_FALSE(isRemovableDevice("server:/export", sysBlock()));
    EXPECT_FALSE(isRemovableDevice("/dev/nvme9n9p9", sysBlock()));
    EXPECT_FALSE(isRemovableDevice("", sysBlock()));
}

TEST(MachineVolumes, RootFirstAndNoPseudoMounts) {
    const auto list = volumes();
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.front().root, "/");
    for (const Volume& v : list) {
        EXPECT_FALSE(v.root.startsWith("/proc") || v.root.startsWith("/sys/")) << v.root.toStdString();
        EXPECT_NE(v.fsType, "tmpfs") << v.root.toStdString();
        EXPECT_NE(v.type, DriveType::NoRoot);
    }
}

TEST(MachineVolumes, DriveTypeAndRootOfPaths) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(test::writeAll(dir.filePath("file.txt"), "x"));
    EXPECT_NE(driveType("/"), DriveType::NoRoot);
    EXPECT_NE(driveType("/"), DriveType::Unknown);
    EXPECT_EQ(driveType(dir.filePath("missing")), DriveType::NoRoot);
    EXPECT_EQ(driveType(dir.filePath("file.txt")), DriveType::NoRoot);
    EXPECT_EQ(volumeRootOf("/no-such-top-folder/x"), "/");

    const QString root = volumeRootOf(dir.filePath("file.txt"));
    EXPECT_TRUE(isPathPrefix(root, dir.path()));
    bool listed = false;
    for (const Volume& v : volumes()) listed = listed || v.root == root;
    EXPECT_TRUE(listed) << root.toStdString();
}

}  // namespace
}  // namespace orbet
