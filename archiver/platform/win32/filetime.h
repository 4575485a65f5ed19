#pragma once
// Windows counts file times in 100-nanosecond steps from 1601, Unix in
// seconds from 1970: one conversion for the library and the stubs.
#include <windows.h>

#include <cstdint>

namespace wintime {

constexpr int64_t kSecondsFrom1601To1970 = 11644473600LL;
constexpr int64_t kStepsPerSecond = 10000000;

inline FILETIME fileTime(int64_t unixTime) {
    uint64_t v = static_cast<uint64_t>((unixTime + kSecondsFrom1601To1970) * kStepsPerSecond);
    return {static_cast<DWORD>(v), static_cast<DWORD>(v >> 32)};
}

inline int64_t unixTime(const FILETIME& t) {
    int64_t v = static_cast<int64_t>(static_cast<uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime);
    return v / kStepsPerSecond - kSecondsFrom1601To1970;
}

}  // namespace wintime
