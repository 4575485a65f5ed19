#pragma once
// The s command: the stub followed by the archive, as one executable.
#include <string>

#include "archive/archive.h"

namespace sfx {

// The stub's file name, installed beside the library.
constexpr const char *kStubName = "kinaru-sfx";

// Writes NAME.exe into the current folder from the archive opt.archive
// (NAME being its name without extension). Never replaces an existing file.
int write(const archive::Options &opt, std::string &text);

// The stub beside the module (library or program) holding this code.
std::string stubPath();

// "/tmp/12090507.lzh" -> "12090507.exe"
std::string exeName(const std::string &archive);

} // namespace sfx
