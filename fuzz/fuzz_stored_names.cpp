// libFuzzer target: a file of any name a file system allows is packed by a
// and unpacked by x. It comes back under the same name with its bytes, or a
// left it out and said so; nothing else is written.
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "archive/archive.h"
#include "lzh/safe_path.h"
#include "unlha32.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fs::path root = [] {
        std::setlocale(LC_ALL, "C.UTF-8");
        std::string t = (fs::temp_directory_path() / "fuzz-stored-XXXXXX").string();
        fs::path r(::mkdtemp(t.data()));
        fs::create_directories(r / "src");
        fs::create_directories(r / "dest");
        return r;
    }();
    // '/' and NUL cannot be in a name; they stand for the two bytes that
    // most often change a name's meaning elsewhere.
    std::string name;
    for (size_t i = 0; i < size && i < 64; ++i) name += data[i] == '/' ? '\\' : data[i] == 0 ? ':' : char(data[i]);
    if (name.empty() || name == "." || name == "..") return 0;
    const fs::path src = root / "src", dest = root / "dest", arc = root / "n.lzh";
    std::ofstream(src / name, std::ios::binary) << "content";
    std::string text;
    // -x0: the name alone is stored, as when it is named from its own folder.
    int rc = archive::run({.command = 'a', .withFolders = false, .archive = arc.string(), .items = {src / name}}, text);
    if (rc == 0) {
        int x = archive::run({.command = 'x', .archive = arc.string(), .items = {dest.string() + "/"}}, text);
        std::ifstream back(dest / name, std::ios::binary);
        std::string got((std::istreambuf_iterator<char>(back)), {});
        if (x != 0 || got != "content" || std::distance(fs::directory_iterator(dest), {}) != 1) abort();
    } else if (rc != UNLHA_ERR_NOTHING || text.find(lzh::escapeControls(name) + ": not stored") == std::string::npos) {
        abort();
    }
    if (std::distance(fs::directory_iterator(root), {}) > 3) abort();  // src, dest and the archive only
    fs::remove(src / name);
    fs::remove(arc);
    fs::remove_all(dest);
    fs::create_directory(dest);
    return 0;
}
