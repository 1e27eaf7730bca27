#pragma once

#include "platform/IFiles.h"
#include "platform/win32/Windows_win.h"

namespace kiv {

// FILETIME counts 100 ns steps from 1601; the program counts seconds from 1970.
inline FileTime ToUnixSeconds(const FILETIME& time) {
    constexpr int64_t kTicksPerSecond = 10000000;
    constexpr int64_t kTicksFrom1601To1970 = 116444736000000000;
    const int64_t ticks = static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) |
                                               time.dwLowDateTime) -
                          kTicksFrom1601To1970;
    // Whole seconds, rounded down also before 1970, so that two times within the same
    // second always compare equal.
    const int64_t seconds = ticks / kTicksPerSecond;
    return ticks % kTicksPerSecond < 0 ? seconds - 1 : seconds;
}

}  // namespace kiv
