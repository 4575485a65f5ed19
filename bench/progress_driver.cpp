// Times one archiver command with and without the -n0 progress window, as
// the program calls it: from a Qt application's thread, with an owner window.
//   progress_driver LIBRARY ROUNDS ARCHIVE COMMAND-WITHOUT-n-SWITCH
// Runs "CMD -n1 ..." and "CMD -n0 ..." alternately ROUNDS times, removing the
// archive after each, and prints the median wall and CPU seconds of each
// (CPU time counts every thread of the process; it is steadier than wall
// time on a busy machine).
#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <dlfcn.h>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

using UnlhaFn = int (*)(void*, const char*, char*, unsigned long);

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s LIBRARY ROUNDS ARCHIVE 'a -jm2 ARCHIVE items'\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    void* lib = dlopen(argv[1], RTLD_NOW);
    if (!lib) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    auto unlha = reinterpret_cast<UnlhaFn>(dlsym(lib, "Unlha"));
    int rounds = std::atoi(argv[2]);
    std::string archive = argv[3], cmd = argv[4];
    QWidget owner;
    owner.show();
    auto cpu = [] {
        timespec ts;
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return ts.tv_sec + ts.tv_nsec / 1e9;
    };
    std::vector<double> times[2], cpus[2];
    for (int r = 0; r < rounds; ++r)
        for (int show = 0; show < 2; ++show) {
            std::string full = cmd.substr(0, 2) + (show ? "-n0 " : "-n1 ") + cmd.substr(2);
            auto t0 = std::chrono::steady_clock::now();
            double c0 = cpu();
            int rc = unlha(reinterpret_cast<void*>(owner.winId()), full.c_str(), nullptr, 0);
            times[show].push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
            cpus[show].push_back(cpu() - c0);
            if (rc) {
                std::fprintf(stderr, "%s: error 0x%X\n", full.c_str(), static_cast<unsigned>(rc));
                return 1;
            }
            ::unlink(archive.c_str());
        }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    double w0 = median(times[0]), w1 = median(times[1]), c0 = median(cpus[0]), c1 = median(cpus[1]);
    std::printf("%.3f %.3f %+.1f%% %.3f %.3f %+.1f%%\n", w0, w1, 100.0 * (w1 - w0) / w0, c0, c1,
                100.0 * (c1 - c0) / c0);
    return 0;
}
