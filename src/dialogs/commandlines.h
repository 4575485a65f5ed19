#pragma once
// The two command lines handed to the archiver. They are a wire format: every
// blank and quotation mark is significant, and names are copied byte for
// byte without escaping.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kinaru {

// The settings both commands share.
struct CommandSwitches {
    bool showProgress = true;    // -n0 / -n1
    bool directoryInfo = true;   // -x1 / -x0
    std::string workFolder;      // used as given, normally ending in "/"
    int method = 0;              // 0 LH5, 1 LH6, 2 LH7, anything else: no switch
};

// "-w" and the work folder and one blank. A folder holding blanks is quoted,
// since the archiver would otherwise split it into several words.
std::string workFolderSwitch(std::string_view workFolder);

// Everything of the archive command before the first item.
std::string archiveCommandHead(const CommandSwitches& switches, std::string_view archivePath);

// The archive command in a NUL-terminated buffer of its own, sized by a
// measuring pass and then filled in place, so a long item list is copied once.
class ArchiveCommand {
public:
    // Room for the head and the terminator when the head is short enough.
    static constexpr std::size_t kHeadReserve = 260;

    ArchiveCommand(const CommandSwitches& switches, std::string_view archivePath,
                   const std::vector<std::string>& items);

    const char* data() const { return buffer_.get(); }
    // The command without its terminator.
    std::string_view text() const { return {buffer_.get(), length_}; }
    std::size_t bufferSize() const { return size_; }

private:
    std::unique_ptr<char[]> buffer_;
    std::size_t size_ = 0;
    std::size_t length_ = 0;
};

// The command that turns the temporary archive into a self-extractor.
std::string selfExtractorCommand(const CommandSwitches& switches, bool windowType,
                                 std::string_view temporaryArchive);

}  // namespace kinaru
