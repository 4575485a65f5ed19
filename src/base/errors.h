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

// A failed change of folder, carrying the system's code (2, 3, 4, 5 or errno).
class InOutError : public KinaruError {
public:
    explicit InOutError(int code);
    int code() const { return code_; }
    static std::string textFor(int code);

private:
    int code_;
};

// The settings file could not be written.
class WriteError : public KinaruError {
public:
    explicit WriteError(const std::string& path);
};

}  // namespace kinaru
