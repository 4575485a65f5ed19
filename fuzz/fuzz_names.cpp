// libFuzzer target: entries whose stored names are made of the bytes that
// separate, end or climb (NUL, 0xFF, '\\', '/', '.', a drive colon, CP932
// lead bytes) at any position, at every header level, with valid header
// checksums, are extracted into a temporary folder. Nothing may appear
// outside the destination, and the entry after them must still come out.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "archive/archive.h"
#include "crafted.h"

namespace fs = std::filesystem;

const char kAlphabet[16] = {'\0',   '\xFF', '\\', '/', '.',    'a', '.',  '\x95',
                            '\x81', '\x1f', ':',  'C', '\xE0', '/', '\\', '\x7f'};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fs::path root = [] {
        std::string t = (fs::temp_directory_path() / "fuzz-names-XXXXXX").string();
        fs::create_directories(fs::path(::mkdtemp(t.data())) / "box/dest");
        return fs::path(t);
    }();
    if (size < 2) return 0;
    const int level = data[0] % 3;
    std::string dir, name;
    for (size_t i = 2; i < size && dir.size() + name.size() < 200; ++i) {
        // High bytes pass the next byte through as it is.
        char c = data[i] >= 0xF0 && i + 1 < size ? static_cast<char>(data[++i]) : kAlphabet[data[i] & 15];
        (dir.size() < data[1] % 64 ? dir : name) += c;
    }
    const fs::path box = root / "box", dest = box / "dest";
    std::ofstream(box / "evil.lzh", std::ios::binary)
        << craftedEntry(level, dir, name, "x") + craftedEntry(level, "", "ok", "y") + std::string(1, '\0');
    archive::Options o{.command = 'x', .archive = (box / "evil.lzh").string(), .items = {dest.string() + "/"}};
    std::string text;
    archive::run(o, text);
    for (auto& e : fs::recursive_directory_iterator(root)) {
        std::string rel = e.path().lexically_relative(root).string();
        if (rel != "box" && rel != "box/evil.lzh" && rel != "box/dest" && rel.rfind("box/dest/", 0) != 0) abort();
    }
    if (!fs::exists(dest / "ok")) abort();
    fs::remove_all(dest);
    fs::create_directory(dest);
    return 0;
}
