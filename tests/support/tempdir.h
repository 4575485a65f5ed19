#pragma once
// A temporary folder removed with everything in it, read-only parts included,
// and the file helpers the tests share.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace kinaru::testing {

class TempDir {
public:
    TempDir() : path_((std::filesystem::temp_directory_path() / "kinaru-test-XXXXXX").string()) {
        if (!::mkdtemp(path_.data())) throw std::runtime_error("mkdtemp failed");
    }
    ~TempDir() {
        namespace fs = std::filesystem;
        std::error_code ignored;
        // Give back the access that tests took away, or removal fails.
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
        for (auto it = fs::recursive_directory_iterator(path_, ignored); it != fs::recursive_directory_iterator();
             it.increment(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

private:
    std::string path_;
};

// Makes the folders on the way.
inline void writeFile(const std::filesystem::path& path, const std::string& content) {
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    if (!(std::ofstream(path, std::ios::binary) << content)) throw std::runtime_error("cannot write " + path.string());
}

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every regular file below `root`, relative path -> content; with `folders`
// each folder too, as "path/" -> "".
inline std::map<std::string, std::string> tree(const std::filesystem::path& root, bool folders = false) {
    std::map<std::string, std::string> out;
    for (auto& e : std::filesystem::recursive_directory_iterator(root))
        if (std::error_code ec; e.is_regular_file(ec))
            out[std::filesystem::relative(e.path(), root).string()] = readFile(e.path());
        else if (folders && e.is_directory(ec))
            out[std::filesystem::relative(e.path(), root).string() + "/"] = "";
    return out;
}

inline bool exists(const std::string& path) { return std::filesystem::exists(std::filesystem::symlink_status(path)); }

}  // namespace kinaru::testing
