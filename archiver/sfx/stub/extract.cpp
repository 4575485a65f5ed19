#include "extract.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "archive/archive.h"
#include "archive/fsutil.h"
#include "lzh/error.h"
#include "lzh/header.h"
#include "lzh/stream.h"
#include "progress/progress_window.h"
#include "sfx/texts.h"

namespace stub {

namespace {
// Set by Ctrl-C or a termination request; the extraction polls it, so the
// file being written is removed rather than left half-done.
volatile std::sig_atomic_t interrupted = 0;
void onSignal(int) { interrupted = 1; }
}  // namespace

bool parseArgs(int argc, char** argv, Args& args, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a.rfind("--dest=", 0) == 0)
            args.dest = a.substr(7);
        else if (a == "--overwrite=yes" || a == "--overwrite=no")
            args.overwrite = a == "--overwrite=yes";
        else if (a == "--unattended")
            args.unattended = true;
        else if (a == "--console")
            args.console = true;
        else if (a.rfind("--", 0) != 0)
            continue;  // Qt's own options (-platform offscreen ...)
        else {
            error = sfx::texts::usage(argv[0]);
            return false;
        }
    }
    return true;
}

bool openSelf(Self& self, std::string& error) {
    char real[PATH_MAX];
    if (!::realpath("/proc/self/exe", real)) {
        error = std::string("自分自身が読めません: ") + std::strerror(errno);
        return false;
    }
    self.path = real;
    archive::Fd fd(::open(real, O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0 || !archive::readTrailer(fd.get(), self.trailer)) {
        error = sfx::texts::kDamaged;
        return false;
    }
    // Counted for the closing message; a damaged header is left for the
    // extraction to report.
    try {
        if (::lseek(fd.get(), static_cast<off_t>(self.trailer.archiveOffset), SEEK_SET) < 0) return true;
        lzh::FdSource file(fd.get(), UNLHA_ERR_READ, self.path);
        lzh::LimitedSource src(file, self.trailer.archiveSize);
        lzh::Entry e;
        while (lzh::readHeader(src, e) && src.skip(e.packed))
            if (!e.isDir()) ++self.files;
    } catch (const lzh::Error&) {}
    return true;
}

Outcome extract(const Self& self, const std::string& dest, const std::function<bool(const std::string&)>& overwrite,
                const std::function<void(const std::string&, uint64_t, uint64_t)>& progress, bool withWindow) {
    Outcome out;
    archive::Options o;
    o.command = 'x';
    o.withFolders = self.trailer.folders;
    o.archive = self.path;
    o.archiveOffset = self.trailer.archiveOffset;
    o.archiveSize = self.trailer.archiveSize;
    // A trailing "/" makes the first item the destination.
    std::string d = dest.empty() ? "." : dest;
    if (d.back() != '/' || d == "/") d += '/';
    o.items = {d};
    o.overwrite = [&](const std::string& name) {
        bool yes = overwrite(name);
        if (!yes) ++out.kept;
        return yes;
    };
    o.progress = progress;
    o.cancelled = [] { return interrupted != 0; };
    out.rc = withWindow ? progress::runWithWindow(nullptr, o, out.text) : archive::run(o, out.text);
    return out;
}

// A display the window face can really open. An X server that is named but
// gone would make Qt abort, so a local one is tried before it is trusted.
bool haveDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform) return true;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return false;
    if (display[0] != ':') return true;  // a remote display: Qt tells for itself
    std::string number(display + 1);
    number = number.substr(0, number.find('.'));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "/tmp/.X11-unix/X%s", number.c_str());
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool reachable = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return reachable;
}

int runConsole(const Self& self, const Args& args) {
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGHUP, onSignal);
    const bool terminal = ::isatty(STDIN_FILENO);
    uint64_t refused = 0;
    auto ask = [&](const std::string& name) {
        if (args.overwrite) return *args.overwrite;
        if (!terminal) {
            std::fprintf(stderr, "%s: 既にあります。確認できる端末がないため上書きしません。\n", name.c_str());
            ++refused;
            return false;
        }
        std::fprintf(stderr, "%s は既にあります。上書きしますか? [y/N] ", name.c_str());
        std::fflush(stderr);
        char line[64];
        if (!std::fgets(line, sizeof line, stdin)) return false;
        return line[0] == 'y' || line[0] == 'Y';
    };
    std::string shown;
    auto progress = [&](const std::string& name, uint64_t, uint64_t) {
        if (name == shown) return;
        shown = name;
        std::printf("%s\n", name.c_str());
        std::fflush(stdout);
    };
    Outcome out = extract(self, args.dest, ask, progress);
    if (out.rc == UNLHA_ERR_CANCELLED) {
        std::fprintf(stderr, "%s\n", sfx::texts::kCancelled);
        return 1;
    }
    if (out.rc) {
        std::fputs(out.text.c_str(), stderr);
        std::fprintf(stderr, "%s\n", sfx::texts::failed(out.rc).c_str());
        return 1;
    }
    if (refused) {
        std::fprintf(stderr, "%s\n", sfx::texts::refusedExisting(refused).c_str());
        return 1;
    }
    return 0;
}

}  // namespace stub
