#include "unlha.h"

#include "base/paths.h"

#include "unlha32.h"

#include <cstring>
#include <dlfcn.h>

namespace kinaru {

const int Unlha::kLibraryMissing = UNLHA_ERR_LIBRARY_MISSING_RESERVED;

Unlha::Unlha(const std::vector<std::string>& candidates) {
    for (const std::string& name : candidates) {
        handle_ = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle_) break;
    }
}

Unlha::~Unlha() {
    if (handle_) ::dlclose(handle_);
}

std::vector<std::string> Unlha::defaultCandidates(const std::string& executablePath) {
    return {folderPart(executablePath) + "libunlha32.so", "libunlha32.so"};
}

int Unlha::UnlhaGetVersion() const {
    if (!handle_) return 0;
    auto function = reinterpret_cast<decltype(&::UnlhaGetVersion)>(::dlsym(handle_, "UnlhaGetVersion"));
    return function ? function() : 0;
}

int Unlha::Run(void* owner, const std::string& command, std::string& output, unsigned long outputSize) const {
    if (!handle_) return kLibraryMissing;
    auto function = reinterpret_cast<decltype(&::Unlha)>(::dlsym(handle_, "Unlha"));
    if (!function) return kLibraryMissing;
    std::vector<char> buffer(outputSize + 1, '\0');  // one spare byte keeps the text terminated
    int result = function(owner, command.c_str(), buffer.data(), outputSize);
    if (outputSize > 0) output.assign(buffer.data(), ::strnlen(buffer.data(), outputSize));
    return result;
}

}  // namespace kinaru
