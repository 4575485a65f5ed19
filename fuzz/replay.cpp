// Runs a fuzz target over folders of inputs without libFuzzer, so
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
    for (int i = 1; i < argc; ++i)
        for (auto& e : fs::recursive_directory_iterator(argv[i])) {
            if (!e.is_regular_file()) continue;
            std::ifstream in(e.path(), std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++n;
        }
    std::printf("%zu inputs replayed\n", n);
    return n ? 0 : 1;
}
