// On Windows the program has no stop signals to answer and keeps no records:
// a replaced archive is moved aside, deleted once the new one is in place,
// and otherwise put back when the run ends (under a visible name when its
// own has been taken meanwhile).
#include "platform/setaside.h"

#include <windows.h>

#include "platform/settingsplace.h"
#include "platform/win32/wide.h"

namespace kinaru::platform {

namespace {
bool moveNoReplace(const std::string& from, const std::string& to) {
    return MoveFileExW(widen(from).c_str(), widen(to).c_str(), 0) != 0;
}
}  // namespace

std::unique_ptr<SetAside> SetAside::move(const std::string& path, const std::string& backup, const std::string&) {
    if (!moveNoReplace(path, backup)) return nullptr;
    return std::unique_ptr<SetAside>(new SetAside({path, backup, {}}, -1));
}

SetAside::~SetAside() { restore(); }

void SetAside::forget() { settled_ = true; }

void SetAside::commit() {
    if (settled_) return;
    DeleteFileW(widen(paths_.backup).c_str());
    forget();
}

void SetAside::restore() {
    if (settled_) return;
    std::string visible = paths_.backup;
    if (size_t slash = visible.find_last_of("\\/"); visible.compare(slash + 1, 1, ".") == 0) visible.erase(slash + 1, 1);
    if (!moveNoReplace(paths_.backup, paths_.original)) moveNoReplace(paths_.backup, visible);
    forget();
}

void settleOnStopSignals() {}
void settleLeftovers(const std::string&) {}

std::string stateFolder() { return {}; }

}  // namespace kinaru::platform
