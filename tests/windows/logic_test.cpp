// What the shared logic does apart with Windows paths, as kinaru.exe runs
// it: candidates, entries, the top folder, drops, the name check and the
// command line's words, on real folders in the temporary folder. (The list
// comparison is the same code on both systems and is tested once.)
// Exit 0: all passed.
#include "core/itemlist.h"
#include "core/samename.h"
#include "platform/fileops.h"
#include "platform/win32/wide.h"
#include "win32/arguments.h"

#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

using namespace kinaru;

namespace {

int failures = 0;

template <typename T>
void expectEqual(const T& got, const T& want, const std::string& what) {
    if (got == want) return;
    ++failures;
    std::printf("FAILED: %s\n", what.c_str());
}

std::string show(const std::optional<std::string>& text) { return text ? *text : "(none)"; }

void make(const std::string& path, bool folder) {
    if (folder)
        platform::createFolder(path);
    else
        CloseHandle(CreateFileW(platform::widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

}  // namespace

int main() {
    wchar_t buffer[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, buffer);
    const std::string t = platform::narrow(buffer) + "kinaru-logic-" + std::to_string(GetCurrentProcessId()) + "\\";
    for (auto [path, folder] : {std::pair{"", true}, {"data", true}, {"data\\report.txt", false},
                                {"data\\photos", true}, {"data\\notes.old", true}, {"data\\README", false},
                                {"data\\a.tar.gz", false}, {"Work", true}, {"Work\\Docs", true},
                                {"Work\\Docs\\n.txt", false}, {"Work\\Pics", true}})
        make(t + path, folder);
    const std::string data = t + "data\\";

    struct Candidate {
        const char* output;
        const char* item;
        std::string want;
    };
    for (const Candidate& c : {Candidate{"D:\\out", "report.txt", "D:\\out\\report.lzh"},
                               Candidate{"D:\\out", "photos", "D:\\out\\photos.lzh"},
                               Candidate{"D:\\out", "notes.old", "D:\\out\\notes.old.lzh"},
                               Candidate{"D:\\", "report.txt", "D:\\report.lzh"},
                               Candidate{"D:\\", "photos", "D:\\photos.lzh"},
                               Candidate{"D:\\out", "README", "D:\\out\\README.lzh"},
                               Candidate{"D:\\out", "a.tar.gz", "D:\\out\\a.tar.lzh"}})
        expectEqual(archiveCandidate(c.output, data + c.item), c.want, std::string("candidate ") + c.item);
    expectEqual(itemEntry(data, data + "photos"), std::string("photos\\*.*"), "a folder's entry");
    expectEqual(itemEntry(data, data + "report.txt"), std::string("report.txt"), "a file's entry");
    expectEqual(topFolderOf({"C:\\a\\b\\x.txt", "C:\\a\\y.txt"}), std::string("C:\\a\\"), "the shorter folder");
    expectEqual(topFolderOf({"C:\\aa\\x", "C:\\bb\\y"}), std::string("C:\\"), "the folder holding both");
    expectEqual(withoutFinalSeparator("C:\\"), std::string("C:\\"), "a drive root keeps its separator");
    expectEqual(withoutFinalSeparator("C:\\a\\"), std::string("C:\\a"), "a folder loses it");

    // Folder names differ in case only in spelling here: the same folder.
    const std::string work = t + "Work\\";
    std::string upper = t + "WORK\\Docs\\n.txt";
    expectEqual(show(dropEntry(work, upper)), std::string("Docs\\n.txt"), "a drop in other case");
    expectEqual(show(dropEntry(work, t + "Work\\Pics")), std::string("Pics\\*.*"), "a dropped folder");
    expectEqual(show(dropEntry(work, t + "Workshop\\n.txt")), std::string("(none)"), "a drop beside the top");
    expectEqual(show(dropEntry(work, "C:\\n.txt")), std::string("(none)"), "a drop above the top");

    struct Name {
        const char* name;
        bool accepted;
    };
    for (const Name& n : {Name{"C:\\x\\a.lzh", true}, Name{"a/b.lzh", false}, Name{"C:\\\\x.lzh", false},
                          Name{"ab:c.lzh", false}, Name{"C:\\a:b.lzh", true}, Name{".lzh", false},
                          Name{"a;b.lzh", false}, Name{"a|b.lzh", false}, Name{"表\\示.lzh", true}})
        expectEqual(acceptableArchiveName(n.name), n.accepted, std::string("name check ") + n.name);

    struct Line {
        const wchar_t* line;
        std::vector<std::wstring> words;
    };
    for (const Line& l : {Line{L"kinaru.exe", {}}, Line{L"kinaru.exe \"\"", {}},
                          Line{L"\"C:\\Program Files\\kinaru.exe\" \"C:\\a b\\c.txt\" d.txt",
                               {L"C:\\a b\\c.txt", L"d.txt"}},
                          Line{L"kinaru.exe a \"\" b", {L"a"}}})
        expectEqual(win32::commandLineWords(l.line), l.words, "words of " + platform::narrow(l.line));

    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
