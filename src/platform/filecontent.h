#pragma once
// Whole files read and replaced at once, for the settings file.
#include <optional>
#include <string>

namespace kinaru::platform {

// The file's bytes; nothing when it is not a regular file that can be read
// (a folder of that name included).
std::optional<std::string> readRegularFile(const std::string& file);

// Writes content to a temporary file beside target and puts it in target's
// place in one step, so that no reader ever sees half a file. False when the
// file or its folder is read-only or the write fails.
bool replaceFileContent(const std::string& target, const std::string& content);

// The file that a store replaces: a link is followed so that it stays a link.
std::string followLinks(const std::string& file);

}  // namespace kinaru::platform
