// Folders and volumes as the folder list and the drive selector see them.
#include "base/errors.h"
#include "dialogs/directorylist.h"
#include "platform/files.h"
#include "platform/volumes.h"
#include "tempdir.h"

#include <cerrno>
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
    const std::pair<std::string, std::variant<std::string, FileFailure>> cases[] = {
        {"/", "/"}, {dir.path() + "/", dir.path()}, {dir / "sub", dir / "sub"},
        {"inner", dir / "sub/inner"},  // relative to the current folder
        {"..", dir / "sub"}, {dir / "missing", FileFailure::MissingEntry},
        {dir / "missing/deeper", FileFailure::MissingFolder}, {dir / "file", FileFailure::MissingFolder},
    };
    // clang-format on
    for (const auto& [enter, outcome] : cases) {
        try {
            list.SetDirectory(enter);
            EXPECT_EQ(outcome, decltype(outcome)(list.Directory())) << enter;
        } catch (const InOutError& error) {
            EXPECT_EQ(outcome, decltype(outcome)(error.why().failure)) << enter;
            EXPECT_EQ(list.Directory(), dir / "sub") << "the folder stays";
        }
        EXPECT_EQ(platform::currentDirectory(), list.Directory());
    }
    // The chain of parents, then the subfolders but hidden ones.
    EXPECT_EQ(DirectoryList::folderOf(list.item(0)), "/");
    EXPECT_EQ(DirectoryList::folderOf(list.item(list.count() - 2)), dir / "sub");
    EXPECT_EQ(DirectoryList::folderOf(list.item(list.count() - 1)), dir / "sub/inner");
    EXPECT_EQ(DirectoryList::folderOf(list.currentItem()), dir / "sub");
    // What a user is told for each errno: no number passes for another meaning.
    const std::pair<int, const char*> texts[] = {
        {EACCES, "ﾌｧｲﾙへのｱｸｾｽが拒否されました"}, {EROFS, "ﾌｧｲﾙへのｱｸｾｽが拒否されました"},
        {EMFILE, "ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます"}, {ENAMETOOLONG, "不正なﾌｧｲﾙ名です"},
        {EINTR, "I/O ｴﾗｰ (4)"}, {EIO, "I/O ｴﾗｰ (5)"}, {ENOSPC, "I/O ｴﾗｰ (28)"},
    };
    for (auto [err, text] : texts) EXPECT_EQ(InOutError(platform::failureOf(dir / "file", err)).what(), std::string(text));
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

}  // namespace
}  // namespace kinaru::testing
