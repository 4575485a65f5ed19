// The naming rules of the compression dialog, on real files and folders.
#include "core/itemlist.h"
#include "tempdir.h"

#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace kinaru::testing {
namespace {

TEST(ItemRules, EntriesAndCandidates) {
    TempDir dir;
    for (const char* folder : {"photos", "notes.old", ".cache", "ro.dir", "closed", "sealed"})
        ::mkdir((dir / folder).c_str(), 0755);
    for (const char* file : {"report.txt", "README", "a.tar.gz", "closed/inside.txt"}) writeFile(dir / file, "r");
    ::chmod((dir / "ro.dir").c_str(), 0555);
    ::chmod((dir / "closed").c_str(), 0300);  // writable but not readable: still a plain folder
    ::chmod((dir / "sealed").c_str(), 0);     // no access at all: read-only by its mode
    ::symlink("nowhere", (dir / "dangling").c_str());
    ::symlink("photos", (dir / "photolink").c_str());
    // clang-format off
    const std::array<const char*, 3> cases[] = {
        // item, entry, candidate in the output folder /out
        {"report.txt", "report.txt", "/out/report.lzh"}, {"photos", "photos/*.*", "/out/photos.lzh"},
        {"notes.old", "notes.old/*.*", "/out/notes.old.lzh"}, {"README", "README", "/out/README.lzh"},
        {"a.tar.gz", "a.tar.gz", "/out/a.tar.lzh"},
        // Only a plain folder gets the marker; others are named like files.
        {"ro.dir", "ro.dir", "/out/ro.lzh"}, {".cache", ".cache", "/out/.lzh"},
        {"closed", "closed/*.*", "/out/closed.lzh"}, {"sealed", "sealed", "/out/sealed.lzh"},
        {"dangling", "dangling", "/out/dangling.lzh"}, {"photolink", "photolink/*.*", "/out/photolink.lzh"},
        // Not found, or not reachable: the name part as spelt.
        {"missing.doc", "missing.doc", "/out/missing.lzh"}, {"gone/x", "x", "/out/x.lzh"},
        {"sealed/x.txt", "x.txt", "/out/x.lzh"},
    };
    // clang-format on
    for (const auto& [item, entry, candidate] : cases) {
        EXPECT_EQ(longFileName(dir / item), entry) << item;
        EXPECT_EQ(archiveCandidate("/out", dir / item), candidate) << item;
    }
}

TEST(TopFolder, ShortestFolderPartUnlessAnItemLiesOutsideIt) {
    const std::string deep(300, 'd');  // no 255-byte limit
    struct Case {
        std::vector<std::string> items;
        std::string top;
        std::vector<std::string> entries;
    } cases[] = {
        {{"/a/b/x.txt", "/a/y.txt"}, "/a/", {"b/x.txt", "y.txt"}},
        {{"/a/y.txt", "/a/b/c/x.txt"}, "/a/", {"y.txt", "b/c/x.txt"}},
        {{"/aa/x", "/bb/y"}, "/", {"aa/x", "bb/y"}},
        {{"/a/b/x", "/a/c/y"}, "/a/", {"b/x", "c/y"}},
        {{deep + "/x"}, deep + "/", {"x"}},
    };
    for (const auto& [items, top, entries] : cases) {
        EXPECT_EQ(topFolderOf(items), top);
        std::vector<std::string> made;
        for (const std::string& item : items) made.push_back(itemEntry(top, item));
        EXPECT_EQ(made, entries);
    }
}

TEST(TopFolder, CommandLineItemsResolveAgainstTheStartFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"x.txt", "/tmp/x.txt"}, {"sub/", "/tmp/sub"}, {".", "/tmp"},
        {"./", "/tmp"},          {"..", "/"},          {"/abs/y", "/abs/y"}};
    for (auto [item, path] : cases) EXPECT_EQ(absoluteItem(item, "/tmp"), path) << item;
}

TEST(DropRules, InsideAndOutsideTheTopFolder) {
    TempDir dir;
    for (const char* folder : {"Work", "Work/Docs", "WORK", "Workshop"}) ::mkdir((dir / folder).c_str(), 0755);
    ::symlink("Work", (dir / "work").c_str());
    const std::optional<std::string> top = dir / "Work/", none;
    // clang-format off
    const std::tuple<std::optional<std::string>, std::string, std::optional<std::string>> cases[] = {
        {top, dir / "Work/Docs/n.txt", "Docs/n.txt"}, {top, dir / "Work/Docs", "Docs/*.*"},
        {top, dir / "Workshop/n.txt", none}, {top, dir / "n.txt", none}, {top, "n.txt", none}, {top, dir / "Work", none},
        // Same letters in another case: a folder of its own here, passed over,
        // unless that spelling leads to the top folder itself.
        {top, dir / "WORK/n.txt", none}, {top, dir / "work/Docs/n.txt", "Docs/n.txt"},
        // An empty top folder takes full paths; an unset one takes nothing.
        {std::string(), dir / "Work/Docs", dir / "Work/Docs/*.*"}, {none, dir / "Work/Docs", none},
    };
    // clang-format on
    for (const auto& [topFolder, path, entry] : cases) EXPECT_EQ(dropEntry(topFolder, path), entry) << path;
}

// clang-format off
TEST(UriList, LocalPathsByteForByteInOrder) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/tmp/報告 #1?.txt"), QUrl::fromLocalFile("/tmp/q\"uote%.txt")});
    QByteArray list = "# comment\r\nfile:///tmp/a%20b/%C3%A9.txt\r\nhttp://example.org/x\r\nfile://localhost/tmp/bad%FF\r\n"
                      "file://otherhost/tmp/no\r\nfile:/tmp/short\n\r\nfile:///tmp/dir/\r\nfile:///tmp/%zz%4\r\n"
                      "FILE:///tmp/new%0Aline\r\n" + mime.data("text/uri-list");
    std::vector<std::string> expected = {"/tmp/a b/é.txt", "/tmp/bad\xff",    "/tmp/short",       "/tmp/dir",
                                         "/tmp/%zz%4",     "/tmp/new\nline", "/tmp/報告 #1?.txt", "/tmp/q\"uote%.txt"};
    EXPECT_EQ(localPathsOfUriList(list.toStdString()), expected);
    EXPECT_TRUE(localPathsOfUriList({}).empty());
}
// clang-format on

}  // namespace
}  // namespace kinaru::testing
