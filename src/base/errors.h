#pragma once
// Errors that escape a handler end up in the standard error box; their text
// is UTF-8 and is shown followed by ".".
#include <stdexcept>
#include <string>

namespace kinaru {

class KinaruError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Why a file-system call failed, in the words the dialogs use. The system's
// own number is kept for Other, which is shown with it.
enum class FileFailure { None, MissingEntry, MissingFolder, TooManyOpenFiles, AccessDenied, Other };
struct FileResult {
    FileFailure failure = FileFailure::None;
    int systemCode = 0;
    explicit operator bool() const { return failure != FileFailure::None; }  // true when it failed
    bool operator==(const FileResult&) const = default;
};

// A failed change of folder.
class InOutError : public KinaruError {
public:
    explicit InOutError(FileResult why);
    FileResult why() const { return why_; }
    static std::string textFor(FileResult why);

private:
    FileResult why_;
};

// The settings file could not be written.
class WriteError : public KinaruError {
public:
    explicit WriteError(const std::string& path);
};

}  // namespace kinaru
