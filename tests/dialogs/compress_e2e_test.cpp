// The compression run against the real library: from a command line of real
// files to an archive that independent readers accept.
#include "core/compressrun.h"
#include "fixture.h"
#include "oracles.h"

#include <QTimer>
#include <dlfcn.h>
#include <cstdlib>
#include <map>

namespace kinaru::testing {
namespace {

namespace fs = std::filesystem;
using Tree = std::map<std::string, std::string>;
const std::string kLibrary = std::string(KINARU_BIN_DIR) + "/libunlha32.so";
// Names are stored in CP932, which libarchive must be told of; it reads the
// names as stored.
const std::string kBsdtar = "LC_ALL=C.UTF-8 bsdtar --options hdrcharset=CP932";

int sh(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

// clang-format off
class CompressEndToEnd : public ProgramTest {
protected:
    CompressEndToEnd() {
        std::string noise;
        for (int i = 0; i < 100000; ++i) noise += char((i * 7919) >> 3);
        packed["sub/two.bin"] = noise;
        for (const auto& [path, bytes] : packed) {
            fs::create_directories((data / path).substr(0, (data / path).rfind('/')));
            writeFile(data / path, bytes);
        }
    }

    // Starts the program on the items with these settings and presses Compress.
    void compress(const std::string& settings, std::vector<std::string> items, const char* library = kLibrary.c_str(),
                  bool selfExtractor = false) {
        writeFile(iniPath(), "[SETTING]\n" + settings + "DISTDIR=" + out.path() + "\nVIEWINFO=0\n");  // first one counts
        start(std::move(items), library);
        startup->chooseMode();
        if (selfExtractor) Form2->SelfExt->setChecked(true);
        Form2->Compress->click();
    }

    // Extracts with the tool given (our own unless told) into a fresh folder
    // and returns its tree.
    Tree extracted(const std::string& archive, const std::string& extract = "'" KINARU_BIN_DIR "/unlha' x") {
        static int n = 0;
        std::string into = scratch / ("x" + std::to_string(n++));
        fs::create_directories(into);
        EXPECT_EQ(sh("cd '" + into + "' && " + extract + " '" + archive + "'"), 0) << extract;
        return tree(into);
    }

    TempDir data, out, scratch;
    Tree packed = {{"one.txt", "first file\n"}, {"sub/.hidden", "hidden\n"},
                   {"sub/deeper/three.txt", std::string(50000, 'z')}, {"日本語/ファイル.txt", "にほんご\n"}};
    const std::vector<std::string> items = {data / "one.txt", data / "sub", data / "日本語"};
};
// clang-format on

TEST_F(CompressEndToEnd, EachMethodWithAndWithoutFoldersTheProgressWindowAndTheFolderOpened) {
    Tree namesOnly;
    for (const auto& [path, bytes] : packed) namesOnly[fs::path(path).filename().string()] = bytes;
    for (int method : {0, 1, 2}) {
        for (bool folders : {true, false}) {
            SCOPED_TRACE(::testing::Message() << "method " << method << (folders ? " with" : " without") << " folders");
            compress("COMPVER=" + std::to_string(method) + "\nDIRENABLE=" + (folders ? "1" : "0") +
                         "\nOPENDIST=1\nVIEWINFO=" + (method == 2 ? "1" : "0") + "\n",
                     items);
            EXPECT_TRUE(shell.messages.isEmpty()) << shell.messages.join(", ").toStdString();
            EXPECT_TRUE(startup->mainWindowClosed()) << "the program ends after the run";
            EXPECT_EQ(shell.openedFolders, std::vector<std::string>{out.path() + "/"});
            std::string archive = out / "one.lzh";
            ASSERT_TRUE(fs::exists(archive)) << "elsewhere, the next run would ask about it and wait";
            for (std::string oracle : {"lhasa", "7zz"})
                EXPECT_TRUE(!haveProgram(oracle) || sh(oracle + " t '" + archive + "'") == 0) << oracle;
            EXPECT_EQ(extracted(archive), folders ? packed : namesOnly);
            if (folders && haveProgram("bsdtar")) {
                EXPECT_EQ(extracted(archive, kBsdtar + " -xf"), packed);
            }
            fs::remove(archive);
            shell.openedFolders.clear();
        }
    }
    REQUIRE_ORACLES("lhasa", "7zz", "bsdtar");  // their checks above ran only where installed
}

TEST_F(CompressEndToEnd, SelfExtractorLeavesOneExecutableThatRestoresEveryByte) {
    for (const char* stub : {"kinaru-sfx-console.exe", "kinaru-sfx-window.exe"})
        if (!fs::exists(fs::path(KINARU_BIN_DIR) / stub)) GTEST_SKIP() << stub << " not built (no MinGW-w64 cross compiler)";
    TempDir workParent;
    std::string work = workParent / "my work";  // a blank: the switch is passed quoted
    fs::create_directories(work);
    for (bool windowType : {false, true}) {
        SCOPED_TRACE(windowType ? "window type" : "console type");
        // LH7 ticks the window type; the console type is made with LH6.
        compress(std::string("COMPVER=") + (windowType ? "2" : "1") + "\nDEFAULT=0\nWORKDIR=" + work + "/\n", items,
                 kLibrary.c_str(), true);
        EXPECT_EQ(Form2->WinSFX->isChecked(), windowType);
        EXPECT_TRUE(shell.messages.isEmpty()) << shell.messages.join(", ").toStdString();
        EXPECT_TRUE(startup->mainWindowClosed());
        ASSERT_EQ(tree(out.path()).size(), 1u);
        EXPECT_TRUE(tree(work).empty()) << "nothing left in the work folder";
        // A Windows program (run under Wine by the stubs' own tests), read here as the archive it carries.
        EXPECT_EQ(readFile(out / "one.exe").substr(0, 2), "MZ");
        EXPECT_EQ(extracted(out / "one.exe"), packed);
        fs::remove(out / "one.exe");
    }
}

TEST_F(CompressEndToEnd, MissingLibraryShowsItsNumberOncePerCallAndEnds) {
    for (bool selfExtractor : {false, true}) {
        writeFile(out / "one.lzh", "old");
        compress("SAMEFILE=0\n", {data / "one.txt"}, "/nonexistent/libunlha32.so", selfExtractor);
        EXPECT_EQ(shell.messages, QStringList(selfExtractor ? 2 : 1, QString::fromStdString("32792\r\n" + missingLibraryMessage())));
        EXPECT_TRUE(startup->mainWindowClosed());
        EXPECT_EQ(readFile(out / "one.lzh"), "old") << "nothing is lost when nothing could be packed";
        shell.messages.clear();
    }
}

// The old archive is put back when the run stops.
TEST_F(CompressEndToEnd, FolderThatCannotBeEnteredKeepsTheDialogOpenForAnotherTry) {
    writeFile(out / "one.lzh", "old");
    fs::rename(data.path(), scratch / "moved");
    compress("SAMEFILE=0\n", {data / "one.txt"});
    EXPECT_EQ(shell.errors, QStringList{"ﾌｧｲﾙが見つかりません."});
    EXPECT_FALSE(startup->mainWindowClosed());
    EXPECT_EQ(tree(out.path()), (Tree{{"one.lzh", "old"}}));
    fs::rename(scratch / "moved", data.path());
    Form2->Compress->click();
    EXPECT_TRUE(startup->mainWindowClosed());
    EXPECT_EQ(extracted(out / "one.lzh").count("one.txt"), 1u);
}

// Nothing that is out of reach now is forgotten or replaced by another place,
// and the keys after an output folder that cannot be entered still load.
TEST_F(CompressEndToEnd, UnreachableFoldersAreReportedAndKept) {
    ::setenv("TMPDIR", "/nonexistent/tmp", 1);
    compress("DISTDIR=/nonexistent/out\nWORKDIR=\" /w\xff \"\nCOMPVER=1\n", {data / "one.txt"});
    ::unsetenv("TMPDIR");
    EXPECT_EQ(shell.errors, QStringList{"不正なﾌｧｲﾙ名です."}) << "the system's text alone";
    EXPECT_EQ(shell.messages, QStringList{QString::fromStdString(workFolderMessage("/nonexistent/tmp/"))});
    EXPECT_EQ(Form1->Dir_Dst->Directory(), startFolder);
    EXPECT_EQ(context->settings.method, Method::LH6);
    EXPECT_TRUE(Form2->isVisible()) << "nothing was written";
    Form2->close();
    std::string written = readFile(iniPath());
    EXPECT_NE(written.find("DISTDIR=/nonexistent/out\n"), std::string::npos) << written;
    EXPECT_NE(written.find("WORKDIR=\" /w\xff \"\n"), std::string::npos) << written;
}

// The archiver call blocks the dialog: the busy cursor shows for exactly its length.
TEST_F(CompressEndToEnd, BusyCursorWhileTheArchiverWorks) {
    compress("", {data / "one.txt"}, RECORDING_LIBRARY);
    void* library = dlopen(RECORDING_LIBRARY, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr);
    auto cursorDuringCall = reinterpret_cast<int (*)()>(dlsym(library, "RecordingCursorDuringLastCall"));
    EXPECT_EQ(cursorDuringCall(), Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    dlclose(library);
}

}  // namespace
}  // namespace kinaru::testing
