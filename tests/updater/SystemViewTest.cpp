// How the updater reads the system: removable disks from sysfs and mounts from the mount
// table, against trees and tables made for the test; and how it quotes them for the shell.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>

#include "MountTable.h"
#include "RemovableVolumes.h"
#include "UpdaterTexts.h"

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

// A device mounted through a node deleted since, found by its number alone; a disk whose
// partition is mounted is taken as mounted, and the partition is the one to unmount.
TEST(MountTable, MatchesByDeviceNumberTheDeviceItsDiskAndItsPartitions) {
    TemporaryTree tree;
    tree.Write("mountinfo",
               "22 1 0:21 / /proc rw - proc proc rw\n"
               "40 27 7:0 / /media/kid/My\\040Toy\\134x rw - ext2 /tmp/gone/node ro\n"
               "41 27 8:17 / /media/stick rw - vfat /dev/sdb1 rw\n"
               "no numbers here\n");
    const std::string sys = tree.root + "/sys";
    for (const char* device : {"loop0", "sdb/sdb1", "sdc"}) {
        fs::create_directories(sys + "/devices/block/" + device);
    }
    fs::create_directories(sys + "/dev/block");
    for (const auto& [number, device] :
         {std::pair{"7:0", "loop0"}, {"8:16", "sdb"}, {"8:17", "sdb/sdb1"}, {"8:32", "sdc"}}) {
        fs::create_symlink(std::string("../../devices/block/") + device,
                           sys + "/dev/block/" + number);
    }
    const std::vector<MountEntry> mounts = ReadMounts(tree.root + "/mountinfo");
    ASSERT_EQ(mounts.size(), 3u);
    const auto mounted = [&](dev_t device) {
        const MountEntry mount = MountOf(mounts, device, sys);
        return mount.mountPoint + " by " + NodeOf(mount.device, sys, "/dev");
    };
    EXPECT_EQ(mounted(makedev(7, 0)), "/media/kid/My Toy\\x by /dev/loop0");
    EXPECT_EQ(mounted(makedev(8, 17)), "/media/stick by /dev/sdb1");
    EXPECT_EQ(mounted(makedev(8, 16)), "/media/stick by /dev/sdb1");
    EXPECT_EQ(MountOf(mounts, makedev(8, 32), sys).mountPoint, "");
    EXPECT_TRUE(ReadMounts(tree.root + "/no-such-table").empty());
}

TEST(ShellQuoted, QuotesWhatTheShellWouldSplitOrExpand) {
    for (const auto& [word, quoted] :
         {std::pair<std::string, std::string>{"/dev/sdb1", "/dev/sdb1"},
          {"/media/kid/My Toy", "'/media/kid/My Toy'"},
          {"/media/kid's $HOME", "'/media/kid'\\''s $HOME'"},
          {"", "''"}}) {
        EXPECT_EQ(ShellQuoted(word), quoted);
    }
}

}  // namespace
