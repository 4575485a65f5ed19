// Runs a fuzz target over files and folders of inputs without libFuzzer, so
// that every build replays the corpus.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    size_t n = 0;
    auto one = [&](const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++n;
    };
    for (int i = 1; i < argc; ++i) {
        if (!fs::is_directory(argv[i]))
            one(argv[i]);
        else
            for (auto& e : fs::recursive_directory_iterator(argv[i]))
                if (e.is_regular_file()) one(e.path());
    }
    std::printf("%zu inputs replayed\n", n);
    return n ? 0 : 1;
}
