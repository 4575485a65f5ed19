// The naming rules of the compression dialog, on real files and folders.
#include "dialogs/itemlist.h"
#include "platform/entries.h"
#include "tempdir.h"

#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kinaru::testing {
namespace {

class ItemRules : public ::testing::Test {
protected:
    ItemRules() {
        mkdir("data");
        writeFile(dir / "data/report.txt", "r");
        writeFile(dir / "data/README", "r");
        writeFile(dir / "data/a.tar.gz", "r");
        writeFile(dir / "data/.profile", "r");
        writeFile(dir / "data/locked.txt", "r");
        ::chmod((dir / "data/locked.txt").c_str(), 0444);
        mkdir("data/photos");
        mkdir("data/notes.old");
        mkdir("data/.cache");
        mkdir("data/ro.dir");
        ::chmod((dir / "data/ro.dir").c_str(), 0555);
        mkdir("data/closed");
        writeFile(dir / "data/closed/inside.txt", "r");
        ::chmod((dir / "data/closed").c_str(), 0300);  // writable but not readable: still a plain folder
        mkdir("data/sealed");
        ::chmod((dir / "data/sealed").c_str(), 0);  // no access at all: read-only by its mode
        ::symlink("nowhere", (dir / "data/dangling").c_str());
        ::symlink("photos", (dir / "data/photolink").c_str());
    }
    void mkdir(const std::string& relative) { ::mkdir((dir / relative).c_str(), 0755); }

    TempDir dir;
};

TEST_F(ItemRules, EntriesAndCandidates) {
    struct Case {
        const char* item;
        const char* entry;
        const char* candidate;  // in the output folder /out
    } cases[] = {
        {"data/report.txt", "report.txt", "/out/report.lzh"},
        {"data/photos", "photos/*.*", "/out/photos.lzh"},
        {"data/notes.old", "notes.old/*.*", "/out/notes.old.lzh"},
        {"data/README", "README", "/out/README.lzh"},
        {"data/a.tar.gz", "a.tar.gz", "/out/a.tar.lzh"},
        // Only a plain folder gets the marker; others are named like files.
        {"data/ro.dir", "ro.dir", "/out/ro.lzh"},
        {"data/.cache", ".cache", "/out/.lzh"},
        {"data/closed", "closed/*.*", "/out/closed.lzh"},
        {"data/sealed", "sealed", "/out/sealed.lzh"},
        {"data/dangling", "dangling", "/out/dangling.lzh"},
        {"data/photolink", "photolink/*.*", "/out/photolink.lzh"},
        // Not found: the name part as spelt.
        {"data/missing.doc", "missing.doc", "/out/missing.lzh"},
        {"gone/x", "x", "/out/x.lzh"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        EXPECT_EQ(longFileName(dir / c.item), c.entry);
        EXPECT_EQ(archiveCandidate("/out", dir / c.item), c.candidate);
    }
}

TEST_F(ItemRules, UnreachableEntryIsNamedAsSpelt) {
    ::chmod((dir / "data").c_str(), 0);
    // Root may still look inside; anyone else finds nothing. Both give the name.
    EXPECT_EQ(longFileName(dir / "data/report.txt"), "report.txt");
    EXPECT_EQ(longFileName2(dir / "data/photos"), "photos");
}

TEST(TopFolder, ShortestFolderPartUnlessAnItemLiesOutsideIt) {
    struct Case {
        std::vector<std::string> items;
        std::string top;
        std::vector<std::string> entries;
    } cases[] = {
        {{"/a/b/x.txt", "/a/y.txt"}, "/a/", {"b/x.txt", "y.txt"}},
        {{"/a/y.txt", "/a/b/c/x.txt"}, "/a/", {"y.txt", "b/c/x.txt"}},
        {{"/aa/x", "/bb/y"}, "/", {"aa/x", "bb/y"}},
        {{"/d/b/x.txt", "/d/x.doc"}, "/d/", {"b/x.txt", "x.doc"}},
        {{"/a/b/x", "/a/c/y"}, "/a/", {"b/x", "c/y"}},
        {{std::string(300, 'd') + "/x"}, std::string(300, 'd') + "/", {"x"}},  // no 255-byte limit
    };
    for (const Case& c : cases) {
        std::string top = topFolderOf(c.items);
        EXPECT_EQ(top, c.top);
        std::vector<std::string> entries;
        for (const std::string& item : c.items) entries.push_back(itemEntry(top, item));
        EXPECT_EQ(entries, c.entries);
    }
}

TEST(TopFolder, CommandLineItemsResolveAgainstTheStartFolder) {
    struct Case {
        const char* item;
        const char* path;
    } cases[] = {{"x.txt", "/tmp/x.txt"}, {"sub/", "/tmp/sub"}, {".", "/tmp"}, {"./", "/tmp"},
                 {"..", "/"},             {"/abs/y", "/abs/y"}};
    for (const Case& c : cases) EXPECT_EQ(absoluteItem(c.item, "/tmp"), c.path) << c.item;
}

class DropRules : public ::testing::Test {
protected:
    DropRules() {
        for (const char* folder : {"Work", "Work/Docs", "Work/Pics", "WORK", "Workshop"})
            ::mkdir((dir / folder).c_str(), 0755);
        ::symlink("Work", (dir / "work").c_str());
        top = dir / "Work/";
    }
    TempDir dir;
    std::optional<std::string> top;
};

TEST_F(DropRules, InsideAndOutsideTheTopFolder) {
    struct Case {
        std::string path;
        std::optional<std::string> entry;
    } cases[] = {
        {dir / "Work/Docs/n.txt", "Docs/n.txt"},
        {dir / "Work/Pics", "Pics/*.*"},
        {dir / "Work/x.txt", "x.txt"},
        {dir / "Workshop/n.txt", std::nullopt},
        {dir / "n.txt", std::nullopt},
        {"n.txt", std::nullopt},
        // Same letters in another case: a folder of its own here, passed over...
        {dir / "WORK/n.txt", std::nullopt},
        // ...unless that spelling leads to the top folder itself.
        {dir / "work/Docs/n.txt", "Docs/n.txt"},
        {dir / "Work", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(dropEntry(top, c.path), c.entry);
    }
}

TEST_F(DropRules, EmptyTopFolderTakesFullPathsAndUnsetTakesNothing) {
    EXPECT_EQ(dropEntry(std::string(), dir / "Work/Pics"), dir / "Work/Pics/*.*");
    EXPECT_EQ(dropEntry(std::nullopt, dir / "Work/Pics"), std::nullopt);
}

TEST(UriList, LocalPathsByteForByteInOrder) {
    QByteArray list = "# comment\r\n"
                      "file:///tmp/a%20b/%C3%A9.txt\r\n"
                      "http://example.org/x\r\n"
                      "file://localhost/tmp/bad%FF\r\n"
                      "file://otherhost/tmp/no\r\n"
                      "file:/tmp/short\n"
                      "\r\n"
                      "file:///tmp/dir/\r\n"
                      "file:///tmp/%zz%4\r\n"
                      "FILE:///tmp/new%0Aline";
    std::vector<std::string> expected = {"/tmp/a b/é.txt", "/tmp/bad\xff", "/tmp/short",
                                         "/tmp/dir",       "/tmp/%zz%4",  "/tmp/new\nline"};
    EXPECT_EQ(localPathsOfUriList(list), expected);
    EXPECT_TRUE(localPathsOfUriList(QByteArray()).empty());
}

TEST(UriList, ReadsWhatQtWritesForLocalFiles) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/tmp/報告 #1?.txt"), QUrl::fromLocalFile("/tmp/q\"uote%.txt")});
    std::vector<std::string> expected = {"/tmp/報告 #1?.txt", "/tmp/q\"uote%.txt"};
    EXPECT_EQ(localPathsOfUriList(mime.data("text/uri-list")), expected);
}

}  // namespace
}  // namespace kinaru::testing
