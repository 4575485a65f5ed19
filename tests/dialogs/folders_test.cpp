// Folders and volumes as the folder list and the drive selector see them.
#include "base/errors.h"
#include "dialogs/directorylist.h"
#include "platform/files.h"
#include "platform/volumes.h"
#include "tempdir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace kinaru::testing {
namespace {

TEST(FolderList, HoldsFoldersInTheStoredFormAndEntersThem) {
    const std::string start = platform::currentDirectory();
    TempDir dir;
    ::mkdir((dir / "sub").c_str(), 0755);
    ::mkdir((dir / "sub/inner").c_str(), 0755);
    ::mkdir((dir / "sub/.hidden").c_str(), 0755);
    writeFile(dir / "file", "x");
    DirectoryList list;
    // Folder to enter and the folder held then, or the error's code.
    // clang-format off
    const std::pair<std::string, std::variant<std::string, int>> cases[] = {
        {"/", "/"}, {dir.path() + "/", dir.path()}, {dir / "sub", dir / "sub"},
        {"inner", dir / "sub/inner"},  // relative to the current folder
        {"..", dir / "sub"}, {dir / "missing", 2}, {dir / "missing/deeper", 3}, {dir / "file", 3},
    };
    // clang-format on
    for (const auto& [enter, outcome] : cases) {
        try {
            list.SetDirectory(enter);
            EXPECT_EQ(outcome, decltype(outcome)(list.Directory())) << enter;
        } catch (const InOutError& error) {
            EXPECT_EQ(outcome, decltype(outcome)(error.code())) << enter;
            EXPECT_EQ(list.Directory(), dir / "sub") << "the folder stays";
        }
        EXPECT_EQ(platform::currentDirectory(), list.Directory());
    }
    // The chain of parents, then the subfolders but hidden ones.
    EXPECT_EQ(DirectoryList::folderOf(list.item(0)), "/");
    EXPECT_EQ(DirectoryList::folderOf(list.item(list.count() - 2)), dir / "sub");
    EXPECT_EQ(DirectoryList::folderOf(list.item(list.count() - 1)), dir / "sub/inner");
    EXPECT_EQ(DirectoryList::folderOf(list.currentItem()), dir / "sub");
    EXPECT_EQ(std::string(InOutError(5).what()), "ﾌｧｲﾙへのｱｸｾｽが拒否されました");
    EXPECT_EQ(std::string(InOutError(4).what()), "ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます");
    EXPECT_EQ(std::string(InOutError(36).what()), "I/O ｴﾗｰ (36)");
    platform::changeDirectory(start);
}

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

}  // namespace
}  // namespace kinaru::testing
