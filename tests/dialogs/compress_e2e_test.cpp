// The compression run against the real library: from a command line of real
// files to an archive that independent readers accept.
#include "dialogs/compressrun.h"
#include "fixture.h"
#include "oracles.h"

#include <QTimer>
#include <dlfcn.h>
#include <cstdlib>
#include <filesystem>
#include <map>

namespace kinaru::testing {
namespace {

namespace fs = std::filesystem;
const std::string kLibrary = std::string(KINARU_BIN_DIR) + "/libunlha32.so";
const std::string kTool = std::string(KINARU_BIN_DIR) + "/unlha";
// Names are stored in CP932, which libarchive must be told of.
const std::string kBsdtar = "LC_ALL=C.UTF-8 bsdtar --options hdrcharset=CP932";

std::string operator/(const std::string& folder, const std::string& name) { return folder + "/" + name; }

int sh(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

// Every file below folder, by relative path, with its bytes.
std::map<std::string, std::string> tree(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = readFile(entry.path().string());
    return files;
}

class CompressEndToEnd : public ProgramTest {
protected:
    CompressEndToEnd() {
        fs::create_directories(data);
        ::mkdir((data / "sub").c_str(), 0755);
        ::mkdir((data / "sub/deeper").c_str(), 0755);
        ::mkdir((data / "日本語").c_str(), 0755);
        writeFile(data / "one.txt", "first file\n");
        std::string noise;
        for (int i = 0; i < 100000; ++i) noise += char((i * 7919) >> 3);
        writeFile(data / "sub/two.bin", noise);
        writeFile(data / "sub/.hidden", "hidden\n");
        writeFile(data / "sub/deeper/three.txt", std::string(50000, 'z'));
        writeFile(data / "日本語/ファイル.txt", "にほんご\n");
    }

    void settings(const std::string& extra, bool progressWindow = false) {
        writeFile(iniPath(), "[SETTING]\nDISTDIR=" + out.path() + "\nVIEWINFO=" + (progressWindow ? "1" : "0") +
                                 "\n" + extra);
    }

    // Starts the program on the items and presses Compress.
    void compress(std::vector<std::string> items, const std::string& library = kLibrary) {
        start(std::move(items), library.c_str());
        startup->chooseMode();
        Form2->Compress->click();
    }

    // Extracts with our tool into a fresh folder and returns its tree.
    std::map<std::string, std::string> extracted(const std::string& archive) {
        static int n = 0;
        std::string into = scratch / ("x" + std::to_string(n++));
        fs::create_directories(into);
        EXPECT_EQ(sh("cd '" + into + "' && '" + kTool + "' x '" + archive + "'"), 0);
        return tree(into);
    }

    void expectPeersAccept(const std::string& archive) {
        if (haveProgram("lhasa")) EXPECT_EQ(sh("lhasa t '" + archive + "'"), 0) << "lhasa";
        if (haveProgram("7zz")) EXPECT_EQ(sh("7zz t '" + archive + "'"), 0) << "7zz";
        if (haveProgram("bsdtar")) EXPECT_EQ(sh(kBsdtar + " -tf '" + archive + "'"), 0) << "bsdtar";
    }

    TempDir root, out, scratch;
    std::string data = root / "data";
};

TEST_F(CompressEndToEnd, EachMethodWithAndWithoutFolders) {
    const std::map<std::string, std::string> withFolders = {
        {"one.txt", readFile(data / "one.txt")},
        {"sub/two.bin", readFile(data / "sub/two.bin")},
        {"sub/.hidden", "hidden\n"},
        {"sub/deeper/three.txt", std::string(50000, 'z')},
        {"日本語/ファイル.txt", "にほんご\n"},
    };
    const std::map<std::string, std::string> namesOnly = {
        {"one.txt", readFile(data / "one.txt")},  {"two.bin", readFile(data / "sub/two.bin")},
        {".hidden", "hidden\n"},                 {"three.txt", std::string(50000, 'z')},
        {"ファイル.txt", "にほんご\n"},
    };
    for (int method : {0, 1, 2}) {
        for (bool folders : {true, false}) {
            SCOPED_TRACE(::testing::Message() << "method " << method << (folders ? " with" : " without") << " folders");
            settings("COMPVER=" + std::to_string(method) + "\nDIRENABLE=" + (folders ? "1" : "0") + "\n");
            compress({data / "one.txt", data / "sub", data / "日本語"});
            EXPECT_TRUE(shell.messages.isEmpty()) << shell.messages.join(", ").toStdString();
            EXPECT_TRUE(startup->mainWindowClosed()) << "the program ends after the run";
            std::string archive = out / "one.lzh";
            expectPeersAccept(archive);
            EXPECT_EQ(extracted(archive), folders ? withFolders : namesOnly);
            if (folders && haveProgram("bsdtar")) {
                std::string into = scratch / ("bsdtar" + std::to_string(method));
                fs::create_directories(into);
                ASSERT_EQ(sh(kBsdtar + " -xf '" + archive + "' -C '" + into + "'"), 0);
                EXPECT_EQ(readFile(into + "/sub/two.bin"), readFile(data / "sub/two.bin"));
                EXPECT_EQ(readFile(into + "/sub/deeper/three.txt"), std::string(50000, 'z'));
                EXPECT_EQ(readFile(into + "/日本語/ファイル.txt"), "にほんご\n");
            }
            startup.reset();
            fs::remove(archive);
        }
    }
    REQUIRE_ORACLES("lhasa", "7zz", "bsdtar"); // their checks above ran only where installed
}

TEST_F(CompressEndToEnd, SelfExtractorLeavesOneExecutableThatRestoresEveryByte) {
    TempDir workParent;
    std::string work = workParent / "my work";  // a blank: the switch is passed quoted
    fs::create_directories(work);
    for (bool windowType : {false, true}) {
        SCOPED_TRACE(windowType ? "window type" : "console type");
        // With LH7 the window type cannot be unticked: the console type uses LH6.
        settings(std::string("COMPVER=") + (windowType ? "2" : "1") + "\nDEFAULT=0\nWORKDIR=" + work + "/\n");
        start({data / "one.txt", data / "sub", data / "日本語"}, kLibrary.c_str());
        startup->chooseMode();
        Form2->SelfExt->setChecked(true);  // with LH7 the window type is ticked too
        EXPECT_EQ(Form2->WinSFX->isChecked(), windowType);
        Form2->Compress->click();
        EXPECT_TRUE(shell.messages.isEmpty()) << shell.messages.join(", ").toStdString();
        EXPECT_TRUE(startup->mainWindowClosed());
        EXPECT_EQ(Form2->archivePath(), out / "one.exe");
        auto made = tree(out.path());
        ASSERT_EQ(made.size(), 1u);
        EXPECT_EQ(made.begin()->first, "one.exe");
        EXPECT_TRUE(tree(work).empty()) << "nothing left in the work folder";

        // A Windows program (run under Wine by the stubs' own tests), read back here as the archive it carries.
        EXPECT_EQ(readFile(out / "one.exe").substr(0, 2), "MZ");
        EXPECT_EQ(extracted(out / "one.exe"), (std::map<std::string, std::string>{
                                  {"one.txt", readFile(data / "one.txt")},
                                  {"sub/two.bin", readFile(data / "sub/two.bin")},
                                  {"sub/.hidden", "hidden\n"},
                                  {"sub/deeper/three.txt", std::string(50000, 'z')},
                                  {"日本語/ファイル.txt", "にほんご\n"},
                              }));
        startup.reset();
        fs::remove(out / "one.exe");
    }
}

TEST_F(CompressEndToEnd, ProgressWindowShowsWhileTheLibraryWorksAndTheFolderOpensAfterwards) {
    settings("COMPVER=2\nOPENDIST=1\n", true);
    compress({data / "one.txt", data / "sub"});
    EXPECT_TRUE(shell.messages.isEmpty()) << shell.messages.join(", ").toStdString();
    EXPECT_TRUE(startup->mainWindowClosed());
    EXPECT_EQ(extracted(out / "one.lzh").size(), 4u);
    EXPECT_EQ(shell.openedFolders, std::vector<std::string>{out.path() + "/"});
}

TEST_F(CompressEndToEnd, RenameInTheSameNameDialogPacksUnderTheNewName) {
    writeFile(out / "one.lzh", "not even an archive");
    settings("SAMEFILE=2\n");
    QTimer::singleShot(0, [this] {
        Form3->setChangeText(out / "fresh/other");
        shell.yesNoAnswers = {true};  // create the missing folder
        Form3->Button4->click();
    });
    compress({data / "one.txt"});
    EXPECT_EQ(readFile(out / "one.lzh"), "not even an archive");
    EXPECT_EQ(extracted(out / "fresh/other.lzh").count("one.txt"), 1u);
}

TEST_F(CompressEndToEnd, MissingLibraryShowsItsNumberOncePerCallAndEnds) {
    for (bool selfExtractor : {false, true}) {
        SCOPED_TRACE(selfExtractor ? "self-extractor" : "archive");
        writeFile(out / "one.lzh", "old");
        settings("SAMEFILE=0\n");
        start({data / "one.txt"}, "/nonexistent/libunlha32.so");
        startup->chooseMode();
        Form2->SelfExt->setChecked(selfExtractor);
        Form2->Compress->click();
        EXPECT_EQ(shell.messages, QStringList(selfExtractor ? 2 : 1, QStringLiteral("32792\r\n書庫ライブラリ (libunlha32.so) が見つかりません")));
        EXPECT_TRUE(startup->mainWindowClosed());
        EXPECT_EQ(readFile(out / "one.lzh"), "old") << "nothing is lost when nothing could be packed";
        shell.messages.clear();
        startup.reset();
    }
}

TEST_F(CompressEndToEnd, FolderThatCannotBeEnteredKeepsTheDialogOpenForAnotherTry) {
    settings("");
    start({data / "one.txt"}, kLibrary.c_str());
    startup->chooseMode();
    fs::rename(data, root / "moved");
    Form2->Compress->click();
    EXPECT_EQ(shell.errors, QStringList{QStringLiteral("ﾌｧｲﾙが見つかりません.")});
    EXPECT_TRUE(Form2->isVisible());
    EXPECT_FALSE(startup->mainWindowClosed());

    fs::rename(root / "moved", data);
    Form2->Compress->click();
    EXPECT_TRUE(startup->mainWindowClosed());
    EXPECT_EQ(extracted(out / "one.lzh").count("one.txt"), 1u);
}

// Nothing that is out of reach now is forgotten or replaced by another place.
TEST_F(CompressEndToEnd, UnreachableFoldersAreNamedAndKept) {
    std::string stored = "[SETTING]\nDISTDIR=/nonexistent/out\nWORKDIR=\" /w\xff \"\n";
    writeFile(iniPath(), stored);
    ::setenv("TMPDIR", "/nonexistent/tmp", 1);
    compress({data / "one.txt"});
    ::unsetenv("TMPDIR");
    EXPECT_EQ(shell.errors, QStringList{QStringLiteral("/nonexistent/out: 不正なﾌｧｲﾙ名です.")});
    EXPECT_EQ(shell.messages, QStringList{workFolderMessage("/nonexistent/tmp/")});
    EXPECT_TRUE(Form2->isVisible()) << "nothing was written";
    Form2->close();
    EXPECT_TRUE(startup->mainWindowClosed());
    std::string written = readFile(iniPath());
    EXPECT_NE(written.find("DISTDIR=/nonexistent/out\n"), std::string::npos) << written;
    EXPECT_NE(written.find("WORKDIR=\" /w\xff \"\n"), std::string::npos) << written;
}

// The archiver call blocks the dialog: the busy cursor shows for exactly its length.
TEST_F(CompressEndToEnd, BusyCursorWhileTheArchiverWorks) {
    settings("");
    compress({data / "one.txt"}, RECORDING_LIBRARY);
    void* library = dlopen(RECORDING_LIBRARY, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr);
    auto cursorDuringCall = reinterpret_cast<int (*)()>(dlsym(library, "RecordingCursorDuringLastCall"));
    EXPECT_EQ(cursorDuringCall(), Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    dlclose(library);
}

}  // namespace
}  // namespace kinaru::testing
