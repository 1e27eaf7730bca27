// "kivbenchwait --keep" holds the wine desktop open between the benchmark's runs, so
// that no run pays for starting it. Under any other arguments (as a stand-in for
// regsvr32) it sleeps KIV_BENCH_REG_MS milliseconds and ends.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && wcscmp(argv[1], L"--keep") == 0) {
        GetDesktopWindow();
        for (;;) {
            Sleep(INFINITE);
        }
    }
    wchar_t value[32] = {};
    if (GetEnvironmentVariableW(L"KIV_BENCH_REG_MS", value, 32) > 0) {
        Sleep(static_cast<DWORD>(wcstoul(value, nullptr, 10)));
    }
    return 0;
}
