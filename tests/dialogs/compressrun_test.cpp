// The compression run with the dialogs answered by the test and an archiver
// that writes what the commands name: enough to follow every file it touches.
#include "base/paths.h"
#include "core/compressrun.h"
#include "platform/files.h"
#include "platform/setaside.h"
#include "platform/settingsplace.h"
#include "tempdir.h"
#include "unlha32.h"

#include <QStringList>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <utime.h>

namespace kinaru::testing {
namespace {

namespace fs = std::filesystem;

// clang-format off
class FakeDialogs : public RunDialogs {
public:
    std::string name, watched;  // watched: a folder whose files the archiver lists when it runs
    SameNameAnswer answer = SameNameAnswer::Abandon;
    std::vector<int> results{0, 0};  // archive command, then self-extractor command
    std::vector<std::string> messages;
    std::vector<std::string> commands, asked, seen;
    // Where the run waits for a signal after saying so on readyFd: before the
    // archive command writes, after it wrote, before the stub command
    // writes, or in the error message.
    enum class Stop { Never, Packing, Written, Stub, Message } stop = Stop::Never;
    int readyFd = -1;
    void waitForSignal() {
        char ready = 1;
        if (::write(readyFd, &ready, 1) == 1)
            for (;;) ::pause();
    }

    std::string archiveName() override { return name; }
    void setArchiveName(const std::string& n) override { name = n; }
    SameNameAnswer askSameName(const std::string& existing, std::string&) override {
        asked.push_back(existing);
        return answer;
    }
    void message(const std::string& text) override {
        if (stop == Stop::Message) waitForSignal();
        messages.push_back(text);
    }
    std::string archiveCommand(const std::string& work, const std::string& path) override { return "a " + work + "|" + path; }
    std::string selfExtractorCommand(const std::string& work, const std::string& path) override {
        return "s " + work + "|" + path;
    }
    int runArchiver(const std::string& command) override {
        if ((stop == Stop::Packing && commands.empty()) || (stop == Stop::Stub && commands.size() == 1)) waitForSignal();
        if (!watched.empty())
            for (auto& e : fs::recursive_directory_iterator(watched)) seen.push_back(e.path().filename().string());
        std::sort(seen.begin(), seen.end());
        int result = results[commands.size() % results.size()];
        commands.push_back(command);
        std::string path = command.substr(command.find('|') + 1);
        if ((result == 0 || UNLHA_IS_WARNING(result)) && command[0] == 'a') writeFile(path, readFile(path) + "new");
        if (result == 0 && command[0] == 's') writeFile(changeExtension(namePart(path), ".exe"), "stub+" + readFile(path));
        if (stop == Stop::Written) waitForSignal();
        return result;
    }
    void openFolder(const std::string&) override {}
};
// clang-format on

class Run : public ::testing::Test {
protected:
    ~Run() override { platform::changeDirectory(start_); }

    // A fresh run of the item a.txt into the archive named.
    RunRequest request(int policy, const std::string& archive, bool selfExtractor = false) {
        dialogs = FakeDialogs();
        dialogs.name = archive;
        return {work.path() + "/", "", SameNamePolicy(policy), false, selfExtractor, {"a.txt"}, top.path() + "/", now};
    }
    static std::vector<std::string> entries(const TempDir& dir) {
        std::vector<std::string> names;
        for (auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    const std::string start_ = platform::currentDirectory();
    const std::tm now = {.tm_sec = 7, .tm_min = 5, .tm_hour = 9, .tm_mon = 11};
    TempDir work, top, out;
    FakeDialogs dialogs;
};

TEST_F(Run, TemporaryArchiveNameNeverTakesAnExistingFile) {
    std::string folder = work.path() + "/";
    EXPECT_EQ(temporaryArchivePath(folder, now), folder + "12090507.lzh");
    writeFile(folder + "12090507.lzh", "someone else's");
    EXPECT_EQ(temporaryArchivePath(folder, now), folder + "12090507-1.lzh");
    writeFile(folder + "12090507-1.lzh", "");
    EXPECT_EQ(temporaryArchivePath(folder, now), folder + "12090507-2.lzh");
}

// The archive, or the executable made under the temporary archive's name and
// renamed, replaces an old one only once the new one is there; no backup is
// left behind and a file that has the temporary name is never touched.
TEST_F(Run, ExistingArchiveUnderEachPolicyAndAnswer) {
    using A = SameNameAnswer;
    struct Case {
        bool selfExtractor;
        int policy;
        A answer;
        std::vector<int> results;
        const char* before;  // the old archive's content, if there is one
        RunEnd end;
        const char* after;
    } cases[] = {
        {false, 0, A::Abandon, {0}, "old", RunEnd::Completed, "new"},
        {false, 0, A::Abandon, {0x8005}, "old", RunEnd::Completed, "old"},
        {false, 0, A::Abandon, {UNLHA_WARN_SAME_NAME}, "old", RunEnd::Completed, "new"},  // a warning wrote it whole
        {false, 1, A::Abandon, {0}, "old", RunEnd::Completed, "oldnew"},
        {false, 2, A::DeleteAndContinue, {0}, "old", RunEnd::Completed, "new"},
        {false, 2, A::DeleteAndContinue, {0x8005}, "old", RunEnd::Completed, "old"},
        {false, 2, A::Continue, {0}, "old", RunEnd::Completed, "oldnew"},
        {false, 2, A::Abandon, {0}, "old", RunEnd::Abandoned, "old"},
        {false, 2, A(0), {0}, "old", RunEnd::Abandoned, "old"},  // closed without an answer
        {false, 2, A::Abandon, {0}, nullptr, RunEnd::Completed, "new"},
        {true, 1, A::Abandon, {0, 0}, "old", RunEnd::Completed, "stub+new"},
        {true, 1, A::Abandon, {0, 0x8010}, "old", RunEnd::Completed, "old"},
        {true, 0, A::Abandon, {0x8005, 0x8005}, "old", RunEnd::Completed, "old"},
        {true, 2, A::Continue, {0, 0}, "old", RunEnd::Completed, "stub+new"},
        {true, 2, A::DeleteAndContinue, {0, 0x8010}, "old", RunEnd::Completed, "old"},
        {true, 2, A::Abandon, {0, 0}, nullptr, RunEnd::Completed, "stub+new"},
        {true, 2, A::Abandon, {0x8005, 0x8003}, nullptr, RunEnd::Completed, ""},
    };
    writeFile(out / "12090507.exe", "not ours");
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        const std::string archive = out / (c.selfExtractor ? "report.exe" : "report.lzh");
        for (const char* name : {"report.lzh", "report.exe"}) fs::remove(out / name);
        if (c.before) writeFile(archive, c.before);
        RunRequest r = request(c.policy, out / "report.lzh", c.selfExtractor);
        dialogs.answer = c.answer;
        dialogs.results = c.results;
        EXPECT_EQ(runCompression(r, dialogs), c.end);
        EXPECT_EQ(readFile(archive), c.after);
        EXPECT_EQ(dialogs.asked.size(), c.policy == 2 && c.before ? 1u : 0u);
        EXPECT_EQ(dialogs.commands.empty(), c.end == RunEnd::Abandoned);
        int failed = c.results[0] ? c.results[0] : c.results.back();
        std::string first = dialogs.messages.empty() ? "" : dialogs.messages[0];
        EXPECT_EQ(first.substr(0, first.find("\r\n")), failed ? std::to_string(failed) : "");
        std::vector<std::string> left = {"12090507.exe", archive.substr(out.path().size() + 1)};
        if (!*c.after) left.pop_back();
        EXPECT_EQ(entries(out), left);
        EXPECT_EQ(readFile(out / "12090507.exe"), "not ours");
        EXPECT_TRUE(c.selfExtractor || c.end != RunEnd::Completed || platform::currentDirectory() == top.path())
            << "the items are found from the top folder";
    }
}

// A signal or a kill at each moment of a run that replaces an archive: at
// once, or at the next start after a kill, the old archive is back at its
// name or the new one is there, and nothing is left hidden. A file that
// somebody else put at the name meanwhile is kept, the old one beside it.
TEST_F(Run, StoppedAtAnyMomentLeavesTheOldArchiveOrTheNewOne) {
    using S = FakeDialogs::Stop;
    struct Case {
        S stop;
        int sig;
        bool selfExtractor;
        const char* after;
        bool somebodyElse = false;
    };
    // clang-format off
    const Case cases[] = {
        {S::Packing, SIGTERM, false, "old"}, {S::Packing, SIGHUP, false, "old"}, {S::Packing, SIGINT, false, "old"},
        {S::Packing, SIGKILL, false, "old"}, {S::Message, SIGTERM, false, "old"}, {S::Message, SIGKILL, false, "old"},
        {S::Written, SIGTERM, false, "new"}, {S::Written, SIGKILL, false, "new"},
        {S::Stub, SIGHUP, true, "old"}, {S::Stub, SIGKILL, true, "old"},
        {S::Packing, SIGKILL, false, "somebody's", true},
    };
    // clang-format on
    const std::string records = platform::stateFolder();
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.stop) << " " << strsignal(c.sig) << (c.somebodyElse ? " +" : ""));
        const std::string name = c.selfExtractor ? "report.exe" : "report.lzh";
        fs::remove_all(out.path());
        fs::create_directory(out.path());
        writeFile(out / name, "old");
        RunRequest r = request(0, out / "report.lzh", c.selfExtractor);
        dialogs.stop = c.stop;
        dialogs.results = {c.stop == S::Message ? 0x8005 : 0, 0};
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        dialogs.readyFd = ready[1];
        pid_t child = ::fork();
        if (child == 0) {
            platform::settleOnStopSignals();
            runCompression(r, dialogs);
            ::_exit(0);
        }
        ::close(ready[1]);
        char said = 0;
        EXPECT_EQ(::read(ready[0], &said, 1), 1);
        ::close(ready[0]);
        ::kill(child, c.sig);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.sig) << status;
        if (c.somebodyElse) {
            writeFile(out / name, c.after);
            utimbuf past{1000, 1000};
            ::utime((out / name).c_str(), &past);
        }
        if (c.sig == SIGKILL) platform::settleLeftovers(records);
        EXPECT_EQ(readFile(out / name), c.after);
        auto left = c.somebodyElse ? std::vector<std::string>{name, name + ".kinaru-old"} : std::vector{name};
        EXPECT_EQ(entries(out), left);
        if (c.somebodyElse) {
            EXPECT_EQ(readFile(out / (name + ".kinaru-old")), "old");
        }
        EXPECT_TRUE(fs::is_empty(records)) << "a record is left";
    }
}

// The record of a run still going is not settled by another start.
TEST_F(Run, ARunGoingOnKeepsItsArchiveAside) {
    writeFile(out / "report.lzh", "old");
    auto aside = platform::SetAside::move(out / "report.lzh", out / ".report.lzh.kinaru-old", platform::stateFolder());
    ASSERT_TRUE(aside);
    platform::settleLeftovers(platform::stateFolder());
    EXPECT_EQ(entries(out), std::vector<std::string>{".report.lzh.kinaru-old"});
    aside.reset();
    EXPECT_EQ(readFile(out / "report.lzh"), "old");
    EXPECT_TRUE(fs::is_empty(platform::stateFolder()));
}

TEST_F(Run, MissingArchiveFolderHoldsNoArchiveAndIsMade) {
    for (int policy : {0, 1, 2}) {
        fs::remove_all(out / "missing");
        EXPECT_EQ(runCompression(request(policy, out / "missing/deeper/report.lzh"), dialogs), RunEnd::Completed);
        EXPECT_TRUE(dialogs.asked.empty());
        EXPECT_EQ(readFile(out / "missing/deeper/report.lzh"), "new") << policy;
    }
    writeFile(out / "file", "");
    EXPECT_EQ(runCompression(request(2, out / "file/sub/report.lzh"), dialogs), RunEnd::Stopped);
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{folderMessage(out / "file/sub/")});
    EXPECT_TRUE(dialogs.commands.empty());
}

TEST_F(Run, WorkFolderThatIsNotThereOrRelative) {
    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        {work / "gone/", ""}, {out / "file/", ""},       // the run stops
        {"", out.path() + "/"}, {"sub/", out / "sub/"},  // the folder both commands use
    };
    // clang-format on
    fs::create_directories(out / "sub");
    writeFile(out / "file", "");
    for (const auto& [workFolder, used] : cases) {
        RunRequest r = request(0, work / "report.lzh", true);
        r.workFolder = workFolder;
        r.outputFolder = out.path();
        EXPECT_EQ(runCompression(r, dialogs), used.empty() ? RunEnd::Stopped : RunEnd::Completed) << workFolder;
        EXPECT_EQ(readFile(work / "report.exe"), used.empty() ? "" : "stub+new");
        fs::remove(work / "report.exe");
        const std::string temporary = used + "|" + used + "12090507.lzh";
        EXPECT_EQ(dialogs.commands,
                  used.empty() ? std::vector<std::string>() : std::vector({"a " + temporary, "s " + temporary}));
        EXPECT_EQ(dialogs.messages, used.empty() ? std::vector<std::string>{workFolderMessage(workFolder)} : std::vector<std::string>{});
    }
}

// An archive replaced inside a folder being packed is set aside outside it.
TEST_F(Run, OldArchiveInsideAPackedFolderIsNotPacked) {
    fs::create_directories(top / "photos/more");
    writeFile(top / "photos/a.jpg", "");
    for (int policy : {0, 2}) {
        writeFile(top / "photos/more/photos.lzh", "old");
        RunRequest r = request(policy, top / "photos/more/photos.lzh");
        r.items = {"photos/*.*", "a.txt"};
        dialogs.answer = SameNameAnswer::DeleteAndContinue;
        dialogs.watched = top / "photos";
        EXPECT_EQ(runCompression(r, dialogs), RunEnd::Completed);
        EXPECT_EQ(dialogs.seen, (std::vector<std::string>{"a.jpg", "more"})) << "policy " << policy;
        EXPECT_EQ(readFile(top / "photos/more/photos.lzh"), "new");
        EXPECT_EQ(entries(top), std::vector<std::string>{"photos"}) << "nothing left beside it";
    }
}

TEST_F(Run, NamesWithDoubleQuotesAreRefusedBeforeAnythingHappens) {
    writeFile(out / "report.lzh", "old");
    const std::array<std::string, 3> cases[] = {
        {out / "report.lzh", "say \"hi\".txt", work.path() + "/"},
        {out / "re\"port.lzh", "a.txt", work.path() + "/"},
        {out / "report.lzh", "a.txt", work.path() + "/\"/"},
    };
    for (const auto& [archive, item, workFolder] : cases) {
        RunRequest r = request(0, archive);
        r.items = {"a.txt", item};
        r.workFolder = workFolder;
        EXPECT_EQ(runCompression(r, dialogs), RunEnd::Stopped);
        EXPECT_TRUE(dialogs.commands.empty());
        EXPECT_TRUE(!dialogs.messages.empty() && dialogs.messages[0].starts_with("名前に「\"」を含むため"));
        EXPECT_EQ(readFile(out / "report.lzh"), "old");
    }
}

}  // namespace
}  // namespace kinaru::testing
