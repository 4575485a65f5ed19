#include "platform/library.h"

#include "platform/win32/wide.h"

#include <windows.h>

namespace kinaru::platform {

void* openLibrary(const std::string& path) { return LoadLibraryW(widen(path).c_str()); }
void closeLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }
void* libraryFunction(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

}  // namespace kinaru::platform
