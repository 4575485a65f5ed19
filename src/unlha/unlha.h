#pragma once
// The binding to the archiver library, loaded once when the program starts.
// When it is missing, the version is 0 and every command gives
// kLibraryMissing, so that callers need no special path.
#include <string>
#include <vector>

namespace kinaru {

class Unlha {
public:
    // The code the archiver's header reserves for this case.
    static const int kLibraryMissing;

    // The library's file name on this system.
    static std::string libraryName();

    // Tries each candidate in turn; a bare name goes through the system search.
    explicit Unlha(const std::vector<std::string>& candidates);
    ~Unlha();
    Unlha(const Unlha&) = delete;
    Unlha& operator=(const Unlha&) = delete;

    // The library beside the executable first, then the system search.
    static std::vector<std::string> defaultCandidates(const std::string& executablePath);

    bool loaded() const { return handle_ != nullptr; }

    // The version times 100, or 0 when the library or its export is missing.
    int UnlhaGetVersion() const;

    // Runs command; output receives what the library wrote, up to its first
    // NUL. With outputSize 0 output is left alone.
    int Run(void* owner, const std::string& command, std::string& output, unsigned long outputSize) const;

private:
    void* handle_ = nullptr;
};

}  // namespace kinaru
