#include "platform/library.h"

#include <dlfcn.h>

namespace kinaru::platform {

void* openLibrary(const std::string& path) { return ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }
void closeLibrary(void* library) { ::dlclose(library); }
void* libraryFunction(void* library, const char* name) { return ::dlsym(library, name); }

}  // namespace kinaru::platform
