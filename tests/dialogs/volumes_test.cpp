// Volumes, the drive selector's ground, and the free-space gauge.
#include "dialogs/gauge.h"
#include "platform/files.h"
#include "platform/volumes.h"
#include "tempdir.h"

#include <gtest/gtest.h>

namespace kinaru::testing {
namespace {

TEST(Volumes, AFolderBelongsToTheLongestWholeRootBeforeIt) {
    std::vector<Volume> volumes = {{"/", ""}, {"/home", ""}, {"/home/u/usb", "STICK"}, {"/mnt/a b", ""}};
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"/", "/"}, {"/etc", "/"}, {"/home", "/home"}, {"/home/u", "/home"}, {"/homely", "/"},
        {"/home/u/usb", "/home/u/usb"}, {"/home/u/usb/photos/2026", "/home/u/usb"}, {"/home/u/usb2", "/home"},
        {"/mnt/a b/x", "/mnt/a b"}, {"/mnt/a", "/"},
    };
    // clang-format on
    for (auto [folder, root] : cases) EXPECT_EQ(volumeRootOf(volumes, folder), root) << folder;
    EXPECT_EQ(volumeRootOf({{"/data", ""}}, "/etc"), "") << "no listed volume holds it";
}

// A folder that is no mount point, or one that is gone, cannot be asked: it
// may not answer for the volume that holds it.
TEST(Volumes, TheSystemListsTheRootAndAnswersForMountedVolumesOnly) {
    SystemVolumes system;
    std::vector<Volume> mounted = system.mounted();
    EXPECT_FALSE(volumeRootOf(mounted, platform::currentDirectory()).empty());
    EXPECT_EQ(volumeRootOf(mounted, "/"), "/");
    for (const Volume& volume : mounted) {
        EXPECT_GE(system.freeBytes(volume.root), 0) << volume.root;
        EXPECT_LE(system.freeBytes(volume.root), system.totalBytes(volume.root)) << volume.root;
    }
    TempDir plain;
    for (const std::string& root : {plain.path(), plain / "gone"}) {
        EXPECT_EQ(system.totalBytes(root), -1) << root;
        EXPECT_EQ(system.freeBytes(root), -1) << root;
    }
}

TEST(Gauge, ShowsTheFilledShareAsAWholePercentage) {
    const std::int64_t tera = std::int64_t(1) << 40;
    const std::array<std::int64_t, 5> cases[] = {
        // maximum, progress, the maximum and progress kept, percent
        {100, 25, 100, 25, 25},
        {3, 2, 3, 2, 66},                          // truncated, not rounded
        {0, 0, 0, 0, 0},                           // nothing to fill: 0, not a busy bar
        {0, 5, 0, 0, 0},                           // progress above the maximum is cut
        {10, -4, 10, 0, 0},                        // and below 0 too
        {-7, 3, 0, 0, 0},                          // a maximum below 0 is none
        {8388608, 5242880, 8388608, 5242880, 62},  // 8 TiB in mebibytes
        {tera, tera / 2, tera, tera / 2, 50},
    };
    for (const auto& [maximum, progress, keptMaximum, keptProgress, percent] : cases) {
        SCOPED_TRACE(std::to_string(maximum) + ", " + std::to_string(progress));
        Gauge gauge;
        gauge.SetMaxValue(maximum);
        gauge.SetProgress(progress);
        EXPECT_EQ(std::tuple(gauge.MaxValue(), gauge.Progress(), gauge.PercentDone(), gauge.value()),
                  std::tuple(keptMaximum, keptProgress, int(percent), int(percent)));
        EXPECT_EQ(gauge.text(), QString::number(percent) + "%");
        gauge.SetMaxValue(maximum / 2);
        EXPECT_LE(gauge.Progress(), gauge.MaxValue()) << "a smaller maximum pulls the progress down";
    }
}

}  // namespace
}  // namespace kinaru::testing
