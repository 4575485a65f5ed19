#pragma once
// The s command: the stub followed by the archive, as one executable.
#include <string>

#include "archive/archive.h"

namespace sfx {

// The stubs' file names, installed beside the library: the Windows faces,
// and the Linux one that -linux asks for.
constexpr const char* kConsoleStub = "kinaru-sfx-console.exe";
constexpr const char* kWindowStub = "kinaru-sfx-window.exe";
constexpr const char* kLinuxStub = "kinaru-sfx";

// Writes exeName(...) into the current folder from the archive opt.archive.
// Never replaces an existing file.
int write(const archive::Options& opt, std::string& text);

// The stub for these options, beside the module (library or program)
// holding this code.
std::string stubPath(const archive::Options& opt);

// "/tmp/12090507.lzh" -> "12090507.exe" (Windows) or "12090507" (Linux)
std::string exeName(const std::string& archive, bool forLinux = false);

}  // namespace sfx
