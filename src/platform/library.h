#pragma once
// Loading a shared library at run time and finding its functions by name:
// dlopen and dlsym here, LoadLibrary and GetProcAddress on Windows.
#include <string>

namespace kinaru::platform {

// Null when it cannot be loaded; a bare name goes through the system search.
void* openLibrary(const std::string& path);
void closeLibrary(void* library);
void* libraryFunction(void* library, const char* name);

}  // namespace kinaru::platform
