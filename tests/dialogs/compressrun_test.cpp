#include "base/errors.h"
#include "base/paths.h"
#include "dialogs/compressrun.h"
#include "platform/files.h"
#include "tempdir.h"

#include <QStringList>
#include <filesystem>
#include <gtest/gtest.h>

namespace kinaru::testing {
namespace {

namespace fs = std::filesystem;

// Dialogs answered by the test, with an archiver that writes what the
// commands name: enough to follow every file the run touches.
class FakeDialogs : public RunDialogs {
public:
    std::string name;
    int sameNameAnswer = 3;
    std::string renameTo;
    std::vector<int> results{0, 0};  // archive command, then self-extractor command
    QStringList messages;
    std::vector<std::string> commands, asked, opened, workFolders;
    std::string watched;               // a folder whose files the archiver
    std::vector<std::string> seen;     // found when it ran

    std::string archiveName() override { return name; }
    void setArchiveName(const std::string& n) override { name = n; }
    SameNameAnswer askSameName(const std::string& existing, std::string& newName) override {
        asked.push_back(existing);
        newName = renameTo;
        return static_cast<SameNameAnswer>(sameNameAnswer);
    }
    void message(const QString& text) override { messages << text; }
    std::string archiveCommand(const std::string& workFolder, const std::string& path) override {
        workFolders.push_back(workFolder);
        return "a " + path;
    }
    std::string selfExtractorCommand(const std::string& workFolder, const std::string& path) override {
        workFolders.push_back(workFolder);
        return "s " + path;
    }
    int runArchiver(const std::string& command) override {
        if (!watched.empty())
            for (auto& e : fs::recursive_directory_iterator(watched)) seen.push_back(e.path().filename().string());
        std::sort(seen.begin(), seen.end());
        int result = results[commands.size() < results.size() ? commands.size() : 0];
        commands.push_back(command);
        if (result != 0) return result;
        std::string path = command.substr(2);
        if (command[0] == 'a') writeFile(path, readFile(path) + "new");
        else writeFile(changeExtension(namePart(path), ".exe"), "stub+" + readFile(path));
        return 0;
    }
    void openFolder(const std::string& folder) override { opened.push_back(folder); }
};

class Run : public ::testing::Test {
protected:
    ~Run() override { platform::changeDirectory(start_); }

    RunRequest request(int policy, bool selfExtractor = false) {
        RunRequest r;
        r.workFolder = work.path() + "/";
        r.policy = static_cast<SameNamePolicy>(policy);
        r.selfExtractor = selfExtractor;
        r.items = {"a.txt"};
        r.topFolder = top.path() + "/";
        r.now.tm_mon = 11;
        r.now.tm_hour = 9;
        r.now.tm_min = 5;
        r.now.tm_sec = 7;
        return r;
    }
    std::vector<std::string> entries(const TempDir& dir) {
        std::vector<std::string> names;
        for (auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string start_ = platform::currentDirectory();
    TempDir work, top, out;
    FakeDialogs dialogs;
};

TEST_F(Run, TemporaryArchiveNameNeverTakesAnExistingFile) {
    std::tm now{};
    now.tm_mon = 11;
    now.tm_hour = 9;
    now.tm_min = 5;
    now.tm_sec = 7;
    std::string folder = work.path() + "/";
    EXPECT_EQ(temporaryArchivePath(folder, now), folder + "12090507.lzh");
    writeFile(folder + "12090507.lzh", "someone else's");
    EXPECT_EQ(temporaryArchivePath(folder, now), folder + "12090507-1.lzh");
    writeFile(folder + "12090507-1.lzh", "");
    EXPECT_EQ(temporaryArchivePath(folder, now), folder + "12090507-2.lzh");
    EXPECT_EQ(temporaryArchivePath("", now).substr(0, 8), "12090507");
}

TEST_F(Run, ExistingArchiveUnderEachPolicyAndAnswer) {
    struct Case {
        const char* name;
        int policy;
        int answer;
        int archiverResult;
        RunEnd end;
        const char* expected;  // the archive's content afterwards
        std::size_t calls;
    } cases[] = {
        {"delete policy replaces", 0, 0, 0, RunEnd::Completed, "new", 1},
        {"delete policy keeps the old one when the archiver fails", 0, 0, 0x8005, RunEnd::Completed, "old", 1},
        {"add policy adds", 1, 0, 0, RunEnd::Completed, "oldnew", 1},
        {"asked: delete and continue", 2, 4, 0, RunEnd::Completed, "new", 1},
        {"asked: delete, archiver fails, old one back", 2, 4, 0x8005, RunEnd::Completed, "old", 1},
        {"asked: continue adds", 2, 5, 0, RunEnd::Completed, "oldnew", 1},
        {"asked: abandon", 2, 3, 0, RunEnd::Abandoned, "old", 0},
        {"asked: closed without an answer", 2, 0, 0, RunEnd::Abandoned, "old", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string archive = out / "report.lzh";
        writeFile(archive, "old");
        dialogs = FakeDialogs();
        dialogs.name = archive;
        dialogs.sameNameAnswer = c.answer;
        dialogs.results = {c.archiverResult};
        EXPECT_EQ(runCompression(request(c.policy), dialogs), c.end);
        EXPECT_EQ(readFile(archive), c.expected);
        EXPECT_EQ(dialogs.commands.size(), c.calls);
        EXPECT_EQ(dialogs.asked.size(), c.policy == 2 ? 1u : 0u);
        EXPECT_EQ(dialogs.messages.join("").section("\r\n", 0, 0),
                  c.archiverResult ? QString::number(c.archiverResult) : QString());
        EXPECT_EQ(entries(out), std::vector<std::string>{"report.lzh"}) << "no backup left behind";
    }
}

TEST_F(Run, ResultsOtherThanSuccessShowTheNumberAndWhatItMeans) {
    const std::pair<int, QString> cases[] = {
        {32777, QStringLiteral("32777\r\n中止しました")},
        {32792, QStringLiteral("32792\r\n書庫ライブラリ (libunlha32.so) が見つかりません")},
        {40000, QStringLiteral("40000")},
    };
    for (const auto& [result, shown] : cases) {
        dialogs = FakeDialogs();
        dialogs.name = out / "new.lzh";
        dialogs.results = {result};
        runCompression(request(0), dialogs);
        EXPECT_EQ(dialogs.messages, QStringList{shown});
    }
}

TEST_F(Run, RenameAnswerTakesTheNewNameWithoutAskingAgain) {
    writeFile(out / "report.lzh", "old");
    dialogs.name = out / "report.lzh";
    dialogs.sameNameAnswer = 2;
    dialogs.renameTo = out / "other.lzh";
    EXPECT_EQ(runCompression(request(2), dialogs), RunEnd::Completed);
    EXPECT_EQ(dialogs.name, out / "other.lzh");
    EXPECT_EQ(readFile(out / "other.lzh"), "new");
    EXPECT_EQ(readFile(out / "report.lzh"), "old");
}

TEST_F(Run, MissingArchiveFolderHoldsNoArchiveAndIsMade) {
    for (int policy : {0, 1, 2}) {
        SCOPED_TRACE(policy);
        fs::remove_all(out / "missing");
        dialogs = FakeDialogs();
        dialogs.name = out / "missing/deeper/report.lzh";
        EXPECT_EQ(runCompression(request(policy), dialogs), RunEnd::Completed);
        EXPECT_TRUE(dialogs.asked.empty());
        EXPECT_EQ(readFile(out / "missing/deeper/report.lzh"), "new");
    }
    writeFile(out / "file", "");
    dialogs = FakeDialogs();
    dialogs.name = out / "file/sub/report.lzh";
    EXPECT_EQ(runCompression(request(2), dialogs), RunEnd::Stopped);
    EXPECT_EQ(dialogs.messages, QStringList{folderMessage(out / "file/sub/")});
    EXPECT_TRUE(dialogs.commands.empty());
}

TEST_F(Run, WorkFolderThatIsNotThereOrRelative) {
    struct Case {
        std::string workFolder;
        bool stops;
        std::string used;  // by the command and for the temporary archive
    } cases[] = {
        {work / "gone/", true, ""},
        {out / "file/", true, ""},
        {"", false, out.path() + "/"},
        {"sub/", false, out / "sub/"},
    };
    fs::create_directories(out / "sub");
    writeFile(out / "file", "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.workFolder);
        dialogs = FakeDialogs();
        dialogs.name = work / "report.lzh";
        RunRequest r = request(0, true);
        r.workFolder = c.workFolder;
        r.outputFolder = out.path();
        EXPECT_EQ(runCompression(r, dialogs), c.stops ? RunEnd::Stopped : RunEnd::Completed);
        if (c.stops) {
            EXPECT_EQ(dialogs.messages, QStringList{workFolderMessage(c.workFolder)});
            EXPECT_TRUE(dialogs.commands.empty());
            EXPECT_FALSE(exists(work / "report.exe"));
            continue;
        }
        EXPECT_EQ(dialogs.workFolders, std::vector<std::string>(2, c.used));
        EXPECT_EQ(dialogs.commands[0], "a " + c.used + "12090507.lzh");
        EXPECT_EQ(readFile(work / "report.exe"), "stub+new");
        fs::remove(work / "report.exe");
    }
}

// An archive replaced inside a folder being packed is set aside outside it.
TEST_F(Run, OldArchiveInsideAPackedFolderIsNotPacked) {
    fs::create_directories(top / "photos/more");
    writeFile(top / "photos/a.jpg", "");
    for (int policy : {0, 2}) {
        writeFile(top / "photos/more/photos.lzh", "old");
        dialogs = FakeDialogs();
        dialogs.name = top / "photos/more/photos.lzh";
        dialogs.sameNameAnswer = 4;
        dialogs.watched = top / "photos";
        RunRequest r = request(policy);
        r.items = {"photos/*.*", "a.txt"};
        EXPECT_EQ(runCompression(r, dialogs), RunEnd::Completed);
        EXPECT_EQ(dialogs.seen, (std::vector<std::string>{"a.jpg", "more"})) << "policy " << policy;
        EXPECT_EQ(readFile(top / "photos/more/photos.lzh"), "new");
        EXPECT_EQ(entries(top), std::vector<std::string>{"photos"}) << "nothing left beside it";
    }
}

TEST_F(Run, NoExistingArchiveAsksNothing) {
    dialogs.name = out / "report.lzh";
    RunRequest r = request(2);
    r.openArchiveFolder = true;
    EXPECT_EQ(runCompression(r, dialogs), RunEnd::Completed);
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_EQ(dialogs.commands, std::vector<std::string>{"a " + out / "report.lzh"});
    EXPECT_EQ(platform::currentDirectory(), top.path()) << "the items are found from the top folder";
    EXPECT_EQ(dialogs.opened, std::vector<std::string>{out.path() + "/"});
}

TEST_F(Run, SelfExtractorLeavesOnlyTheExecutable) {
    dialogs.name = out / "report.lzh";
    EXPECT_EQ(runCompression(request(2, true), dialogs), RunEnd::Completed);
    EXPECT_EQ(dialogs.name, out / "report.exe");
    ASSERT_EQ(dialogs.commands.size(), 2u);
    EXPECT_EQ(dialogs.commands[0], "a " + work / "12090507.lzh");
    EXPECT_EQ(dialogs.commands[1], "s " + work / "12090507.lzh");
    EXPECT_EQ(entries(out), std::vector<std::string>{"report.exe"});
    EXPECT_EQ(readFile(out / "report.exe"), "stub+new");
    EXPECT_TRUE(entries(work).empty());
}

TEST_F(Run, SelfExtractorReplacesAnExistingOneSafelyUnderTheAddPolicy) {
    struct Case {
        int policy, answer;
        std::vector<int> results;
        const char* expected;
    } cases[] = {
        {1, 0, {0, 0}, "stub+new"},
        {1, 0, {0, 0x8010}, "old exe"},
        {0, 0, {0x8005, 0x8005}, "old exe"},
        {2, 5, {0, 0}, "stub+new"},
        {2, 4, {0, 0x8010}, "old exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "policy " << c.policy << " answer " << c.answer);
        writeFile(out / "report.exe", "old exe");
        dialogs = FakeDialogs();
        dialogs.name = out / "report.lzh";
        dialogs.sameNameAnswer = c.answer;
        dialogs.results = c.results;
        EXPECT_EQ(runCompression(request(c.policy, true), dialogs), RunEnd::Completed);
        EXPECT_EQ(readFile(out / "report.exe"), c.expected);
        for (const std::string& name : entries(out))
            EXPECT_TRUE(name == "report.exe" || name == "12090507.exe") << name;
        fs::remove(out / "12090507.exe");
    }
}

TEST_F(Run, SelfExtractorNeverOverwritesAnUnrelatedFileOfTheStubName) {
    writeFile(out / "12090507.exe", "not ours");
    dialogs.name = out / "report.lzh";
    EXPECT_EQ(runCompression(request(2, true), dialogs), RunEnd::Completed);
    EXPECT_EQ(readFile(out / "12090507.exe"), "not ours");
    EXPECT_EQ(readFile(out / "report.exe"), "stub+new");
}

TEST_F(Run, FailedSelfExtractorNeverRenamesAnUnrelatedFileOfTheStubName) {
    writeFile(out / "12090507.exe", "not ours");
    dialogs.name = out / "report.lzh";
    dialogs.results = {0x8005, 0x8003};  // nothing packed, so no stub either
    EXPECT_EQ(runCompression(request(2, true), dialogs), RunEnd::Completed);
    EXPECT_EQ(readFile(out / "12090507.exe"), "not ours");
    EXPECT_FALSE(exists(out / "report.exe"));
}

TEST_F(Run, NamesWithDoubleQuotesAreRefusedBeforeAnythingHappens) {
    writeFile(out / "report.lzh", "old");
    struct Case {
        std::string archive, item, workFolder;
    } cases[] = {
        {out / "report.lzh", "say \"hi\".txt", work.path() + "/"},
        {out / "re\"port.lzh", "a.txt", work.path() + "/"},
        {out / "report.lzh", "a.txt", work.path() + "/\"/"},
    };
    for (const Case& c : cases) {
        dialogs = FakeDialogs();
        dialogs.name = c.archive;
        RunRequest r = request(0);
        r.items = {"a.txt", c.item};
        r.workFolder = c.workFolder;
        EXPECT_EQ(runCompression(r, dialogs), RunEnd::Stopped);
        EXPECT_TRUE(dialogs.commands.empty());
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.messages[0].startsWith(QStringLiteral("名前に「\"」を含むため")));
        EXPECT_EQ(readFile(out / "report.lzh"), "old");
    }
}

TEST_F(Run, FolderThatCannotBeEnteredStopsTheRunAndPutsTheOldArchiveBack) {
    writeFile(out / "report.lzh", "old");
    dialogs.name = out / "report.lzh";
    RunRequest r = request(0);
    r.topFolder = top / "gone/";
    try {
        runCompression(r, dialogs);
        FAIL() << "the run went on";
    } catch (const InOutError& error) {
        EXPECT_EQ(error.code(), 2);
    }
    EXPECT_TRUE(dialogs.commands.empty());
    EXPECT_EQ(readFile(out / "report.lzh"), "old");
    EXPECT_EQ(entries(out), std::vector<std::string>{"report.lzh"});
}

}  // namespace
}  // namespace kinaru::testing
