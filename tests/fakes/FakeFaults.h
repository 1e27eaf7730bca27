#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace kiv::fake {

// Failures a test can inject into the file operations, by operation name:
// "list", "exists", "time", "copy", "create". The failure strikes on the given call
// (1 = the first) and on every call after it.
struct Faults {
    struct Fault {
        int32_t number;
        int onCall;
    };
    void Inject(const std::string& operation, int32_t number, int onCall = 1) {
        faults[operation] = {number, onCall};
    }
    void Hit(const std::string& operation);

    std::map<std::string, Fault> faults;
    std::map<std::string, int> calls;
};

}  // namespace kiv::fake
