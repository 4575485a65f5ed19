#pragma once
// The trees the self-extractors pack, and ways to make and run them.
#include <string>
#include <vector>

#include "sfx/writer.h"
#include "test_util.h"

namespace sfxtest {

inline const fs::path kStubs = fs::path(SFX_STUB).parent_path();
inline bool haveWindowsStubs(const fs::path& dir = kStubs) {
    return fs::exists(dir / sfx::kConsoleStub) && fs::exists(dir / sfx::kWindowStub);
}

// Runs `s` so that it takes its stubs from `stubs`: through the library
// when they are the ones beside it, else through a copy of the unlha tool
// beside them (the tool looks for its stubs beside itself).
inline int selfExtract(const fs::path& dir, const std::string& cmd, std::string* out, const fs::path& stubs = kStubs) {
    if (stubs == kStubs) return call(dir, cmd, out);
    const fs::path tool = stubs / "unlha";
    fs::copy_file(UNLHA_TOOL, tool, fs::copy_options::update_existing);
    Ran r = runIn(dir, q(tool) + " " + cmd);
    if (out) *out = r.output;
    return r.status == 0 ? 0 : -1;
}

// Nested folders, Japanese names, a blank, a hidden file, an empty folder,
// data that packs and data that does not; and the items the program names.
inline void makeTree(const fs::path& root) {
    writeFile(root / "資料/メモ.txt", textBytes(3000, 1));
    writeFile(root / "資料/図表/グラフ.dat", randomBytes(40000, 2));
    writeFile(root / "資料/図表/説明 書.txt", textBytes(150000, 3));
    writeFile(root / "資料/.隠し設定", "hidden\n");
    writeFile(root / "写真/風景/山と川.bin", textBytes(60000, 4) + randomBytes(5000, 5));
    writeFile(root / "写真/空.txt", "");
    writeFile(root / "ルート.txt", "一番上のファイル\n");
    fs::create_directories(root / "資料/空のフォルダ");
}
inline const char* const kTreeItems = "\"資料/*.*\" \"写真/*.*\" \"ルート.txt\"";

// Packs `items` of `src` with -jmN into base/work and runs s with `switches`
// in base/out, as the program does; the self-extractor written.
inline fs::path makeSelfExtractor(const fs::path& base, const fs::path& src, const std::string& items, int method,
                                  const std::string& switches, const fs::path& stubs = kStubs) {
    fs::path work = base / "work", out = base / "out", lzh = work / "12090507.lzh";
    fs::create_directories(work);
    fs::create_directories(out);
    std::string jm = " -jm" + std::to_string(method), text;
    EXPECT_EQ(call(src, "a -n1 -x1 -r2 -a2" + jm + " " + q(lzh) + " " + items, &text), 0) << text;
    EXPECT_EQ(selfExtract(out, "s -n1 -x1 -w" + q(work.string() + "/") + jm + " -a2 " + switches + " " + q(lzh), &text,
                          stubs),
              0)
        << text;
    fs::remove(lzh);
    return out / (switches.find("-linux") == std::string::npos ? "12090507.exe" : "12090507");
}

// One run of a fresh self-extractor of `src`, made with `switches` and the
// methods in turn, in the folder it was written to: a file already at
// dest/mine is kept unless `replaced`; stored folders, the empty ones too,
// only with -gu1.
struct FaceCase {
    const char *name, *switches;
    std::string command, dest, mine;  // how it is started; where it writes, as --dest says
    bool replaced;
    int status;
    const char* says;
};
inline void expectFaces(const fs::path& base, const fs::path& src, const std::string& items,
                        const std::vector<FaceCase>& cases, const fs::path& stubs = kStubs) {
    for (size_t n = 0; n < cases.size(); ++n) {
        const FaceCase& c = cases[n];
        SCOPED_TRACE(c.name);
        const bool withFolders = std::string(c.switches).find("-gu1") != std::string::npos;
        fs::path exe = makeSelfExtractor(base / std::to_string(n), src, items, int(2 + n % 3), c.switches, stubs);
        fs::path dest = exe.parent_path() / c.dest;
        if (!c.mine.empty()) writeFile(dest / c.mine, "mine");
        Ran r = runIn(exe.parent_path(), c.command);
        EXPECT_EQ(r.status, c.status) << r.output;
        EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
        fs::remove(exe);
        std::map<std::string, std::string> want;
        for (auto& [name, data] : tree(src, true))
            if (withFolders || name.back() != '/') want[withFolders ? name : fs::path(name).filename().string()] = data;
        if (!c.mine.empty() && !c.replaced) want[c.mine] = "mine";
        EXPECT_EQ(treeDiff(want, tree(dest, true)), "");
        EXPECT_EQ(temps(exe.parent_path()), "");
    }
}

// How the Linux stub is started: the console face without any display, or
// the window face offscreen (with --unattended: scripted answers).
inline const std::string kConsole = "env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY ";
inline const std::string kWindow = "env QT_QPA_PLATFORM=offscreen ";

}  // namespace sfxtest
