#include "base/errors.h"
#include "dialogs/directorylist.h"
#include "platform/files.h"
#include "tempdir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace kinaru::testing {
namespace {

class FolderList : public ::testing::Test {
protected:
    ~FolderList() override { platform::changeDirectory(start_); }
    std::string start_ = platform::currentDirectory();
    TempDir dir;
};

TEST_F(FolderList, HoldsFoldersInTheStoredFormAndEntersThem) {
    ::mkdir((dir / "sub").c_str(), 0755);
    ::mkdir((dir / "sub/inner").c_str(), 0755);
    DirectoryList list;
    struct Case {
        std::string enter, holds;
    } cases[] = {
        {"/", "/"},
        {dir.path() + "/", dir.path()},
        {dir / "sub", dir / "sub"},
        {"inner", dir / "sub/inner"},  // relative to the current folder
        {"..", dir / "sub"},
    };
    for (const Case& c : cases) {
        list.SetDirectory(c.enter);
        EXPECT_EQ(list.Directory(), c.holds) << c.enter;
        EXPECT_EQ(platform::currentDirectory(), c.holds);
    }
    // The chain of parents, then the subfolders.
    std::vector<std::string> shown;
    for (int i = 0; i < list.count(); ++i) shown.push_back(DirectoryList::folderOf(list.item(i)));
    EXPECT_EQ(shown.front(), "/");
    EXPECT_EQ(shown.back(), dir / "sub/inner");
    EXPECT_EQ(DirectoryList::folderOf(list.currentItem()), dir / "sub");
}

TEST_F(FolderList, FolderThatCannotBeEnteredRaisesAndKeepsTheFolder) {
    DirectoryList list;
    list.SetDirectory(dir.path());
    writeFile(dir / "file", "x");
    ::mkdir((dir / "locked").c_str(), 0);
    struct Case {
        std::string path;
        int code;
    } cases[] = {
        {dir / "missing", 2},
        {dir / "missing/deeper", 3},
        {dir / "file", 3},
    };
    for (const Case& c : cases) {
        try {
            list.SetDirectory(c.path);
            ADD_FAILURE() << c.path << " was entered";
        } catch (const InOutError& error) {
            EXPECT_EQ(error.code(), c.code) << c.path;
        }
        EXPECT_EQ(list.Directory(), dir.path());
    }
    if (::geteuid() != 0) {
        EXPECT_THROW(list.SetDirectory(dir / "locked"), InOutError);
    }
    EXPECT_EQ(std::string(InOutError(5).what()), "ﾌｧｲﾙへのｱｸｾｽが拒否されました");
    EXPECT_EQ(std::string(InOutError(4).what()), "ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます");
    EXPECT_EQ(std::string(InOutError(36).what()), "I/O ｴﾗｰ (36)");
}

}  // namespace
}  // namespace kinaru::testing
