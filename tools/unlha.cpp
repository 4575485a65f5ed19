// unlha: the archiver library's commands from a shell.
//   unlha COMMAND [switches] ARCHIVE [items...]
// For x and e a first item ending in "/" is the destination folder.
#include <clocale>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "command/command.h"
#include "lzh/error.h"
#include "platform/sys.h"
#include "unlha32.h"

namespace {
// The signal that asked us to stop. The work polls it and stops the way a
// cancel does, so that no temporary file is left behind; then the signal is
// raised again so that the caller sees how we ended.
volatile std::sig_atomic_t stopSignal = 0;
void onStop(int sig) { stopSignal = sig; }

void catchStopSignals() {
#ifdef _WIN32
    // Windows resets the handler on delivery as well.
    for (int sig : {SIGINT, SIGTERM}) std::signal(sig, onStop);
#else
    struct sigaction sa {};
    sa.sa_handler = onStop;
    sa.sa_flags = SA_RESETHAND;  // a second one ends us at once
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(sig, &sa, nullptr);
#endif
}
}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    catchStopSignals();
    const bool help = argc == 2 && std::string(argv[1]) == "--help";
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::printf("unlha %d.%02d\n", UNLHA_VERSION / 100, UNLHA_VERSION % 100);
        return 0;
    }
    if (argc < 2 || help) {
        std::fprintf(help ? stdout : stderr,
                     "usage: unlha a|l|t|x|e [-x0|-x1] [-jm2|-jm3|-jm4] [-r2] [-a2] [-wFOLDER] ARCHIVE [items...]\n"
                     "       x and e: ARCHIVE [DEST/] [names...]\n"
                     "       s [-ji1|-ji0 [-gw2|-gw4]] [-gu1] [-linux] ARCHIVE\n"
                     "         writes NAME.exe, a Windows self-extractor (-ji1 console, -ji0 window;\n"
                     "         -gu1 restores folders); -linux writes NAME, a Linux one instead.\n"
                     "         l, t, x and e read self-extractors as archives.\n"
                     "       --help | --version\n");
        return help ? 0 : 2;
    }
    // Arguments arrive already split, so names may hold any character.
    std::vector<std::string> words = sys::arguments(argc, argv);
    std::string text;
    int rc;
    // -n0 on a terminal: one line, rewritten as the work goes on.
    bool line = false;
    int shownPercent = -1;
    std::string shownName;
    rc = archive::guarded([&] {
        archive::Options opt = command::parse(words);
        opt.cancelled = [] { return stopSignal != 0; };
        if (opt.showProgress && sys::isatty(2))
            opt.progress = [&](const std::string& name, uint64_t done, uint64_t total) {
                int percent = archive::permille(done, total) / 10;
                if (percent == shownPercent && name == shownName) return;
                shownPercent = percent;
                shownName = name;
                std::fprintf(stderr, "\r\033[K%3d%% %s", percent, sys::toCallerText(name).c_str());
                line = true;
            };
        return command::run(opt, text);
    }, text);
    if (line) std::fputs("\r\033[K", stderr);
    if (stopSignal) {
        std::signal(stopSignal, SIG_DFL);
        std::raise(stopSignal);
    }
    std::fputs(sys::toCallerText(text).c_str(), rc ? stderr : stdout);
    if (!rc) return 0;
    bool warning = UNLHA_IS_WARNING(rc);
    std::fprintf(stderr, "unlha: %s %d (0x%X): %s\n", warning ? "warning" : "error", rc, static_cast<unsigned>(rc),
                 UnlhaErrorText(rc));
    // 3 tells a script the work was done but something deserves a look.
    return warning ? 3 : 1;
}
