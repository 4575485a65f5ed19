#include "unlha.h"

#include "base/paths.h"
#include "platform/library.h"

#include "unlha32.h"

#include <cstring>

namespace kinaru {

const int Unlha::kLibraryMissing = UNLHA_ERR_LIBRARY_MISSING_RESERVED;

Unlha::Unlha(const std::vector<std::string>& candidates) {
    for (const std::string& name : candidates) {
        handle_ = platform::openLibrary(name);
        if (handle_) break;
    }
}

Unlha::~Unlha() {
    if (handle_) platform::closeLibrary(handle_);
}

std::string Unlha::libraryName() {
#ifdef _WIN32
    return "unlha32.dll";
#else
    return "libunlha32.so";
#endif
}

std::vector<std::string> Unlha::defaultCandidates(const std::string& executablePath) {
    return {folderPart(executablePath) + libraryName(), libraryName()};
}

int Unlha::UnlhaGetVersion() const {
    if (!handle_) return 0;
    auto function = reinterpret_cast<decltype(&::UnlhaGetVersion)>(platform::libraryFunction(handle_, "UnlhaGetVersion"));
    return function ? function() : 0;
}

int Unlha::Run(void* owner, const std::string& command, std::string& output, unsigned long outputSize) const {
    if (!handle_) return kLibraryMissing;
#ifdef _WIN32
    // Our texts are UTF-8; the code-page entry would lose what the code page lacks.
    auto function = reinterpret_cast<decltype(&::Unlha)>(platform::libraryFunction(handle_, "UnlhaUtf8"));
#else
    auto function = reinterpret_cast<decltype(&::Unlha)>(platform::libraryFunction(handle_, "Unlha"));
#endif
    if (!function) return kLibraryMissing;
    std::vector<char> buffer(outputSize + 1, '\0');  // one spare byte keeps the text terminated
    int result = function(owner, command.c_str(), buffer.data(), outputSize);
    if (outputSize > 0) output.assign(buffer.data(), ::strnlen(buffer.data(), outputSize));
    return result;
}

}  // namespace kinaru
