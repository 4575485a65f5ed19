// Volumes, the drive selector's ground, and the free-space gauge.
#include "dialogs/gauge.h"
#include "platform/files.h"
#include "platform/volumes.h"
#include "tempdir.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace kinaru::testing {
namespace {

TEST(Volumes, AFolderBelongsToTheLongestWholeRootBeforeIt) {
    std::vector<Volume> volumes = {{"/", ""}, {"/home", ""}, {"/home/u/usb", "STICK"}, {"/mnt/a b", ""}};
    struct Case {
        const char* folder;
        const char* root;
    } cases[] = {
        {"/", "/"},
        {"/etc", "/"},
        {"/home", "/home"},
        {"/home/u", "/home"},
        {"/homely", "/"},
        {"/home/u/usb", "/home/u/usb"},
        {"/home/u/usb/photos/2026", "/home/u/usb"},
        {"/home/u/usb2", "/home"},
        {"/mnt/a b/x", "/mnt/a b"},
        {"/mnt/a", "/"},
    };
    for (const Case& c : cases) EXPECT_EQ(volumeRootOf(volumes, c.folder), c.root) << c.folder;
    EXPECT_EQ(volumeRootOf({{"/data", ""}}, "/etc"), "") << "no listed volume holds it";
}

TEST(Volumes, TheSystemListsTheRootAndAnswersForMountedVolumesOnly) {
    SystemVolumes system;
    std::vector<Volume> mounted = system.mounted();
    ASSERT_FALSE(mounted.empty());
    std::string current = volumeRootOf(mounted, platform::currentDirectory());
    EXPECT_FALSE(current.empty()) << "the current folder lies on a listed volume";
    EXPECT_EQ(volumeRootOf(mounted, "/"), "/");
    for (const Volume& volume : mounted) {
        SCOPED_TRACE(volume.root);
        EXPECT_GE(system.totalBytes(volume.root), 0);
        EXPECT_GE(system.freeBytes(volume.root), 0);
        EXPECT_LE(system.freeBytes(volume.root), system.totalBytes(volume.root));
    }
    // A folder that is no mount point, and one that is gone, cannot be asked:
    // neither may answer for the volume that holds it.
    TempDir plain;
    for (const std::string& root : {plain / "nothing-mounted-here", plain.path() + "/gone"}) {
        if (root.find("nothing") != std::string::npos) ::mkdir(root.c_str(), 0755);
        EXPECT_EQ(system.totalBytes(root), -1) << root;
        EXPECT_EQ(system.freeBytes(root), -1) << root;
    }
}

TEST(Gauge, ShowsTheFilledShareAsAWholePercentage) {
    struct Case {
        std::int64_t maximum, progress;
        std::int64_t keptMaximum, keptProgress;
        int percent;
    } cases[] = {
        {100, 25, 100, 25, 25},
        {3, 2, 3, 2, 66},                                  // truncated, not rounded
        {0, 0, 0, 0, 0},                                   // nothing to fill: 0, not a busy bar
        {0, 5, 0, 0, 0},                                   // progress above the maximum is cut
        {10, -4, 10, 0, 0},                                // and below 0 too
        {-7, 3, 0, 0, 0},                                  // a maximum below 0 is none
        {8388608, 5242880, 8388608, 5242880, 62},          // 8 TiB in mebibytes
        {std::int64_t(1) << 40, std::int64_t(1) << 39, std::int64_t(1) << 40, std::int64_t(1) << 39, 50},
    };
    for (const Case& c : cases) {
        Gauge gauge;
        gauge.SetMaxValue(c.maximum);
        gauge.SetProgress(c.progress);
        SCOPED_TRACE(std::to_string(c.maximum) + ", " + std::to_string(c.progress));
        EXPECT_EQ(gauge.MaxValue(), c.keptMaximum);
        EXPECT_EQ(gauge.Progress(), c.keptProgress);
        EXPECT_EQ(gauge.PercentDone(), c.percent);
        EXPECT_EQ(gauge.value(), c.percent);
        EXPECT_EQ(gauge.text(), QString::number(c.percent) + "%");
    }
    Gauge shrinking;
    shrinking.SetMaxValue(100);
    shrinking.SetProgress(80);
    shrinking.SetMaxValue(40);
    EXPECT_EQ(shrinking.Progress(), 40) << "a smaller maximum pulls the progress down";
    EXPECT_EQ(shrinking.PercentDone(), 100);
}

}  // namespace
}  // namespace kinaru::testing
