// unlha: the archiver library's commands from a shell.
//   unlha COMMAND [switches] ARCHIVE [items...]
// For x and e a first item ending in "/" is the destination folder.
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "command/command.h"
#include "lzh/error.h"
#include "platform/sys.h"

int main(int argc, char **argv) {
    std::setlocale(LC_ALL, "");
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: unlha a|l|t|x|e [-x0|-x1] [-jm2|-jm3|-jm4] [-r2] [-a2] [-wFOLDER] ARCHIVE [items...]\n"
                     "       x and e: ARCHIVE [DEST/] [names...]\n");
        return 2;
    }
    // Arguments arrive already split, so names may hold any character.
    std::vector<std::string> words = sys::arguments(argc, argv);
    std::string text;
    int rc;
    // -n0 on a terminal: one line, rewritten as the work goes on.
    bool line = false;
    int shownPercent = -1;
    std::string shownName;
    try {
        archive::Options opt = command::parse(words);
        if (opt.showProgress && sys::isatty(2))
            opt.progress = [&](const std::string &name, uint64_t done, uint64_t total) {
                int percent = total ? static_cast<int>(done * 100 / total) : 0;
                if (percent == shownPercent && name == shownName) return;
                shownPercent = percent;
                shownName = name;
                std::fprintf(stderr, "\r\033[K%3d%% %s", percent, sys::toCallerText(name).c_str());
                line = true;
            };
        rc = archive::run(opt, text);
    } catch (const lzh::Error &e) {
        text = std::string(e.what()) + "\n";
        rc = e.code;
    }
    if (line) std::fputs("\r\033[K", stderr);
    std::fputs(sys::toCallerText(text).c_str(), rc ? stderr : stdout);
    if (rc) std::fprintf(stderr, "unlha: error 0x%X\n", static_cast<unsigned>(rc));
    return rc ? 1 : 0;
}
