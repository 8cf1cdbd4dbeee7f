// How the updater reads the system: removable disks from sysfs and mounts from the mount
// table, against trees and tables made for the test.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>

#include "MountTable.h"
#include "RemovableVolumes.h"

namespace fs = std::filesystem;

namespace {

class TemporaryTree {
public:
    TemporaryTree() {
        char pattern[] = "/tmp/updater-tree-XXXXXX";
        if (mkdtemp(pattern) != nullptr) root = pattern;
    }
    ~TemporaryTree() {
        std::error_code error;
        fs::remove_all(root, error);
    }
    TemporaryTree(const TemporaryTree&) = delete;
    TemporaryTree& operator=(const TemporaryTree&) = delete;

    void Write(const std::string& path, const std::string& text) const {
        fs::create_directories(fs::path(root + "/" + path).parent_path());
        std::ofstream(root + "/" + path) << text;
    }
    std::string root;
};

std::vector<std::string> Paths(const std::vector<VolumeCandidate>& volumes) {
    std::vector<std::string> paths;
    paths.reserve(volumes.size());
    for (const VolumeCandidate& volume : volumes) paths.push_back(volume.path + "@" + volume.disk);
    return paths;
}

TEST(RemovableVolumes, ListsRemovableDisksWithTheirPartitionsOnly) {
    TemporaryTree sys;
    sys.Write("block/sda/removable", "0\n");
    sys.Write("block/sda/sda1/partition", "1\n");
    sys.Write("block/sdc/removable", "1\n");
    sys.Write("block/sdc/sdc2/partition", "2\n");
    sys.Write("block/sdc/sdc1/partition", "1\n");
    sys.Write("block/sdc/queue/rotational", "0\n");  // not a partition
    sys.Write("block/sdc/holders/.keep", "");
    sys.Write("block/sdb/removable", "1\n");
    sys.Write("block/mmcblk0/removable", "garbage\n");
    sys.Write("block/sdd/size", "0\n");  // no removable file at all
    sys.Write("block/cciss!c0d0/removable", "1\n");

    EXPECT_EQ(Paths(ListRemovableVolumes(sys.root, "/dev")),
              (std::vector<std::string>{"/dev/cciss/c0d0@cciss!c0d0", "/dev/sdb@sdb",
                                        "/dev/sdc@sdc", "/dev/sdc1@sdc", "/dev/sdc2@sdc"}));
    EXPECT_EQ(Paths(VolumesOfDisk(sys.root, "/x", "sda")),
              (std::vector<std::string>{"/x/sda@sda", "/x/sda1@sda"}));
}

TEST(RemovableVolumes, NoSysfsMeansNoVolumesAndNoDiskForFiles) {
    EXPECT_TRUE(ListRemovableVolumes("/nonexistent-sysfs", "/dev").empty());
    TemporaryTree sys;
    sys.Write("image", "not a block device");
    EXPECT_EQ(DiskOfNode(sys.root, sys.root + "/image"), "");
    EXPECT_EQ(DiskOfNode(sys.root, sys.root + "/missing"), "");
}

TEST(MountTable, FindsFilesByRealPathAndDecodesEscapedFields) {
    TemporaryTree tree;
    tree.Write("dev/toy", "");
    tree.Write("dev/other", "");
    fs::create_symlink(tree.root + "/dev/toy", tree.root + "/by-label");
    tree.Write("mounts",
               "proc /proc proc rw 0 0\n"
               "tmpfs /run tmpfs rw 0 0\n" +
                   tree.root + "/by-label /media/user/My\\040Toy\\134x vfat rw 0 0\n");
    const std::vector<MountEntry> mounts = ReadMounts(tree.root + "/mounts");
    ASSERT_EQ(mounts.size(), 3u);
    EXPECT_EQ(MountPointOf(mounts, tree.root + "/dev/toy"), "/media/user/My Toy\\x");
    EXPECT_EQ(MountPointOf(mounts, tree.root + "/dev/other"), "");
    EXPECT_EQ(MountPointOf(mounts, "/proc"), "");  // "proc" is a source name, not a path
    EXPECT_TRUE(ReadMounts(tree.root + "/no-such-table").empty());
}

TEST(MountTable, MatchesBlockDevicesByDeviceNumberWhateverTheirName) {
    // Any mounted block device of this system, under a name of its own.
    for (const MountEntry& mount : ReadMounts("/proc/self/mounts")) {
        struct stat status {};
        if (mount.source.rfind("/dev/", 0) != 0 || stat(mount.source.c_str(), &status) != 0 ||
            !S_ISBLK(status.st_mode)) {
            continue;
        }
        TemporaryTree tree;
        if (mknod((tree.root + "/node").c_str(), S_IFBLK | 0600, status.st_rdev) != 0) {
            GTEST_SKIP() << "cannot make a device node here";
        }
        std::vector<MountEntry> table = ReadMounts("/proc/self/mounts");
        EXPECT_EQ(MountPointOf(table, tree.root + "/node"), MountPointOf(table, mount.source));
        EXPECT_FALSE(MountPointOf(table, tree.root + "/node").empty());
        return;
    }
    GTEST_SKIP() << "no block device is mounted here";
}

}  // namespace
