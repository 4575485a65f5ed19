#pragma once
// The two command lines handed to the archiver. They are a wire format: every
// blank and quotation mark is significant, and names are copied byte for
// byte without escaping.
#include "base/choices.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kinaru {

// The settings both commands share.
struct CommandSwitches {
    bool showProgress = true;                    // -n0 / -n1
    bool directoryInfo = true;                   // -x1 / -x0
    std::string workFolder;                      // used as given, normally ending in "/"
    std::optional<Method> method = Method::LH5;  // none: no switch
};

// "-w" and the work folder and one blank. A folder holding blanks is quoted,
// since the archiver would otherwise split it into several words.
std::string workFolderSwitch(std::string_view workFolder);

// Everything of the archive command before the first item.
std::string archiveCommandHead(const CommandSwitches& switches, std::string_view archivePath);

// The archive command: the head, then each item quoted after a blank.
std::string archiveCommand(const CommandSwitches& switches, std::string_view archivePath,
                           const std::vector<std::string>& items);

// The command that turns the temporary archive into a self-extractor.
std::string selfExtractorCommand(const CommandSwitches& switches, bool windowType, std::string_view temporaryArchive);

}  // namespace kinaru
