#include "support.h"

#include <csignal>
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

fs::path makeSelfExtractor(const fs::path &base, const fs::path &src, const std::string &items, int method,
                           const std::string &switches) {
    fs::path work = base / "work", out = base / "out", lzh = work / "12090507.lzh";
    fs::create_directories(work);
    fs::create_directories(out);
    std::string jm = " -jm" + std::to_string(method), text;
    EXPECT_EQ(run(src, "a -n1 -x1 -r2 -a2" + jm + " " + q(lzh) + " " + items, &text), 0) << text;
    EXPECT_EQ(run(out, "s -n1 -x1 -w" + q(work.string() + "/") + jm + " -a2 " + switches + " " + q(lzh), &text), 0)
        << text;
    fs::remove(lzh);
    return out / (switches.find("-linux") == std::string::npos ? "12090507.exe" : "12090507");
}

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

int interruptAfterFirstLine(const fs::path &dir, const std::string &cmd, int sig) {
    int out[2];
    if (::pipe(out) != 0) return -2;
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        if (::chdir(dir.c_str()) == 0) ::execl("/bin/sh", "sh", "-c", ("exec " + cmd).c_str(), nullptr);
        ::_exit(127);
    }
    ::close(out[1]);
    char c;
    while (::read(out[0], &c, 1) == 1 && c != '\n') {
    }
    ::kill(pid, sig);
    int st = 0;
    ::waitpid(pid, &st, 0);
    ::close(out[0]);
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
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
