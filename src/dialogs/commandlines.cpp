#include "commandlines.h"

#include <algorithm>
#include <cstring>

namespace kinaru {

namespace {

bool hasBlank(std::string_view text) {
    return text.find_first_of(" \t") != std::string_view::npos;
}

const char* methodSwitch(int method) {
    switch (method) {
    case 0: return "-jm2 ";
    case 1: return "-jm3 ";
    case 2: return "-jm4 ";
    default: return "";
    }
}

// The switches both commands begin with, after their command letter.
std::string commonSwitches(const CommandSwitches& switches) {
    std::string text = switches.showProgress ? "-n0 " : "-n1 ";
    text += switches.directoryInfo ? "-x1 " : "-x0 ";
    text += workFolderSwitch(switches.workFolder);
    text += methodSwitch(switches.method);
    return text;
}

}  // namespace

std::string workFolderSwitch(std::string_view workFolder) {
    std::string text = "-w";
    if (hasBlank(workFolder)) {
        text += '"';
        text += workFolder;
        text += '"';
    } else {
        text += workFolder;
    }
    text += ' ';
    return text;
}

std::string archiveCommandHead(const CommandSwitches& switches, std::string_view archivePath) {
    std::string head = "a " + commonSwitches(switches) + "-r2 -a2 ";
    head += " \"";
    head += archivePath;
    head += "\" ";
    return head;
}

ArchiveCommand::ArchiveCommand(const CommandSwitches& switches, std::string_view archivePath,
                               const std::vector<std::string>& items) {
    std::size_t itemTotal = 0;
    for (const std::string& item : items) itemTotal += item.size() + 3;  // blank and two quotes

    std::string head = archiveCommandHead(switches, archivePath);
    // A head that does not fit the reserve gets a buffer sized to the whole
    // command instead of overrunning it.
    size_ = std::max(itemTotal + kHeadReserve, head.size() + itemTotal + 1);
    buffer_ = std::make_unique_for_overwrite<char[]>(size_);

    char* at = buffer_.get();
    std::memcpy(at, head.data(), head.size());
    at += head.size();
    for (const std::string& item : items) {
        *at++ = ' ';
        *at++ = '"';
        std::memcpy(at, item.data(), item.size());
        at += item.size();
        *at++ = '"';
    }
    *at = '\0';
    length_ = std::size_t(at - buffer_.get());
}

std::string selfExtractorCommand(const CommandSwitches& switches, bool windowType,
                                 std::string_view temporaryArchive) {
    std::string text = "s " + commonSwitches(switches) + " -a2 -gu1 ";
    if (!windowType)
        text += "-ji1 ";
    else
        text += switches.method == 2 ? "-ji0 -gw4 " : "-ji0 -gw2 ";
    text += " \"";
    text += temporaryArchive;
    text += '"';
    return text;
}

}  // namespace kinaru
