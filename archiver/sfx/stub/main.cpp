// kinaru-sfx: extracts the archive appended to it. The self-extractor's
// trailer says which face to show.
#include <clocale>
#include <cstdio>

#include "extract.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    stub::Args args;
    std::string error;
    if (!stub::parseArgs(argc, argv, args, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    stub::Self self;
    if (!stub::openSelf(self, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (self.trailer.window && !args.console && stub::haveDisplay()) return stub::runWindow(self, args, argc, argv);
    return stub::runConsole(self, args);
}
