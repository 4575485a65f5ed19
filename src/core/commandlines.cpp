#include "commandlines.h"

namespace kinaru {

namespace {

bool hasBlank(std::string_view text) { return text.find_first_of(" \t") != std::string_view::npos; }

std::string methodSwitch(std::optional<Method> method) {
    return method ? "-jm" + std::to_string(methodSwitchNumber(*method)) + " " : "";
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

std::string archiveCommand(const CommandSwitches& switches, std::string_view archivePath,
                           const std::vector<std::string>& items) {
    std::size_t itemTotal = 0;
    for (const std::string& item : items) itemTotal += item.size() + 3;  // blank and two quotes
    std::string command = archiveCommandHead(switches, archivePath);
    command.reserve(command.size() + itemTotal);
    for (const std::string& item : items) {
        command += " \"";
        command += item;
        command += '"';
    }
    return command;
}

std::string selfExtractorCommand(const CommandSwitches& switches, bool windowType, std::string_view temporaryArchive) {
    std::string text = "s " + commonSwitches(switches) + " -a2 -gu1 ";
    if (!windowType)
        text += "-ji1 ";
    else
        text += switches.method == Method::LH7 ? "-ji0 -gw4 " : "-ji0 -gw2 ";
    text += " \"";
    text += temporaryArchive;
    text += '"';
    return text;
}

}  // namespace kinaru
