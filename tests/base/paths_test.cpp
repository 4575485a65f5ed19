#include "base/paths.h"

#include <gtest/gtest.h>

namespace kinaru {
namespace {

struct PathCase {
    const char* path;
    const char* folder;
    const char* name;
    const char* extension;
    const char* asLzh;  // changeExtension(path, ".lzh")
};

TEST(Paths, PartsAndExtensionChange) {
    const PathCase cases[] = {
        {"/data/report.txt", "/data/", "report.txt", ".txt", "/data/report.lzh"},
        {"report.txt", "", "report.txt", ".txt", "report.lzh"},
        {"/data/README", "/data/", "README", "", "/data/README.lzh"},
        {"/data/a.tar.gz", "/data/", "a.tar.gz", ".gz", "/data/a.tar.lzh"},
        {"/data.d/file", "/data.d/", "file", "", "/data.d/file.lzh"},
        {"/data/photos/*.*", "/data/photos/", "*.*", ".*", "/data/photos/*.lzh"},
        {"/", "/", "", "", "/.lzh"},
        {"", "", "", "", ".lzh"},
        {".hidden", "", ".hidden", ".hidden", ".lzh"},
        // Backslash and colon are ordinary name characters here.
        {"/a\\b:c.txt", "/", "a\\b:c.txt", ".txt", "/a\\b:c.lzh"},
        // Japanese names: every byte of a character is stepped over whole.
        {"/データ/報告.txt", "/データ/", "報告.txt", ".txt", "/データ/報告.lzh"},
        {"/表.d/ソ", "/表.d/", "ソ", "", "/表.d/ソ.lzh"},
        // An invalid byte is one character of its own.
        {"/bad\xff\xfe/n\xc3.txt", "/bad\xff\xfe/", "n\xc3.txt", ".txt", "/bad\xff\xfe/n\xc3.lzh"},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(folderPart(c.path), c.folder);
        EXPECT_EQ(namePart(c.path), c.name);
        EXPECT_EQ(extensionPart(c.path), c.extension);
        EXPECT_EQ(changeExtension(c.path, ".lzh"), c.asLzh);
    }
}

}  // namespace
}  // namespace kinaru
