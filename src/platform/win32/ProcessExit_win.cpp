#include "platform/win32/ProcessExit_win.h"

#include <vector>

namespace kiv {

namespace {
// Workers given up on while they still ran, kept open so the end of the process can ask.
std::vector<HANDLE> g_abandoned;
}  // namespace

void KeepAbandonedWorker(HANDLE worker) {
    g_abandoned.push_back(worker);
}

[[noreturn]] void EndProcess(int exitCode) {
    // A worker still inside a component (in its DllMain, holding the loader lock, say) would
    // make the usual end, which tells every library the process detaches, wait for it for
    // good; nothing is left to tidy that Windows does not tidy itself.
    for (const HANDLE worker : g_abandoned) {
        if (WaitForSingleObject(worker, 0) == WAIT_TIMEOUT) {
            TerminateProcess(GetCurrentProcess(), static_cast<UINT>(exitCode));
        }
    }
    ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace kiv
