#include "support.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace sfxtest {

UnlhaFn unlha() {
    static UnlhaFn fn = [] {
        void *h = dlopen(UNLHA_SO, RTLD_NOW | RTLD_LOCAL);
        if (!h) return UnlhaFn{};
        return reinterpret_cast<UnlhaFn>(dlsym(h, "Unlha"));
    }();
    return fn;
}

int run(const fs::path &dir, const std::string &cmd, std::string *out, void *owner) {
    UnlhaFn fn = unlha();
    if (!fn) ADD_FAILURE() << "library not loaded: " << dlerror();
    return inDir(dir, [&] {
        std::vector<char> buf(1 << 16);
        int rc = fn ? fn(owner, cmd.c_str(), buf.data(), buf.size()) : -1;
        if (out) *out = buf.data();
        return rc;
    });
}

std::string q(const fs::path &p) { return "\"" + p.string() + "\""; }

void makeTree(const fs::path &root) {
    writeFile(root / "資料/メモ.txt", textBytes(3000, 1));
    writeFile(root / "資料/図表/グラフ.dat", randomBytes(40000, 2));
    writeFile(root / "資料/図表/説明 書.txt", textBytes(150000, 3));
    writeFile(root / "資料/.隠し設定", "hidden\n");
    writeFile(root / "写真/風景/山と川.bin", textBytes(60000, 4) + randomBytes(5000, 5));
    writeFile(root / "写真/空.txt", "");
    writeFile(root / "ルート.txt", "一番上のファイル\n");
    fs::create_directories(root / "資料/空のフォルダ");
}

std::string treeItems() { return "\"資料/*.*\" \"写真/*.*\" \"ルート.txt\""; }

std::vector<std::string> folders(const fs::path &root) {
    std::vector<std::string> out;
    for (auto &e : fs::recursive_directory_iterator(root))
        if (e.is_directory()) out.push_back(fs::relative(e.path(), root).string());
    std::sort(out.begin(), out.end());
    return out;
}

Result runIn(const fs::path &dir, const std::string &cmd) {
    Result r;
    std::string full = "cd '" + dir.string() + "' && " + cmd + " 2>&1";
    FILE *p = popen(full.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
    int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::string launch(Face face, const std::string &exe, const std::string &extra) {
    if (face == Face::Console)
        return "env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY " + exe + " " + extra + " </dev/null";
    return "env QT_QPA_PLATFORM=offscreen " + exe + " --unattended " + extra + " </dev/null";
}

std::vector<std::string> tempFiles(const fs::path &root) {
    std::vector<std::string> out;
    for (auto &e : fs::recursive_directory_iterator(root)) {
        std::string n = e.path().filename().string();
        if (n.find(".tmp") != std::string::npos) out.push_back(e.path().string());
    }
    return out;
}

} // namespace sfxtest
