#pragma once
// Changes to the file system that the compression run makes.
#include <string>

namespace kinaru::platform {

// Creates a folder; false when it could not be made.
bool createFolder(const std::string& path);

// Renames without ever replacing an existing file of the new name.
bool renameNoReplace(const std::string& from, const std::string& to);

bool deleteFile(const std::string& path);

}  // namespace kinaru::platform
