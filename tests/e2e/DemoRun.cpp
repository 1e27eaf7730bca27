// Drives one demonstration run of kivupdate.exe for scripts/demo:
//   kivdemo.exe <installation folder> <go file>
// Starts the program on the folder, waits for its pass, prints the log, says READY and
// waits for the go file (the script takes its screenshot meanwhile), then closes the
// window as Alt+F4 would and prints how the main application was started again.
#include <windows.h>

#include <cstdio>

#include "Driver.h"
#include "Fixture.h"

using namespace kiv::e2e;

namespace {

int Fail(const char* what, const Driver& driver) {
    std::printf("FAILED: %s (%s)\n", what, driver.Status().c_str());
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::printf("usage: kivdemo <installation folder> <go file>\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    Driver driver(KivUpdateCommandLine(folder));
    if (!driver.Started() || driver.WaitForWindow(30000) == nullptr) {
        return Fail("the update window did not appear", driver);
    }
    if (driver.WaitForPassEnd(120000) != PassEnd::Finished) {
        if (auto box = driver.FindBox()) {
            std::printf("message box \"%s\":\n%s\n", box->title.c_str(), box->text.c_str());
        }
        return Fail("the pass did not finish cleanly", driver);
    }
    std::printf("Window log:\n");
    for (const std::string& line : driver.Lines().value_or(std::vector<std::string>{})) {
        std::printf("  | %s\n", line.c_str());
    }
    std::printf("READY\n");
    std::fflush(stdout);
    if (!Within(60000, [&] { return Exists(argv[2]); })) {
        return Fail("no go file", driver);
    }

    driver.Close();
    const auto exitCode = driver.WaitForExit(20000);
    driver.WaitForDescendants(20000);
    std::printf("kivupdate.exe ended with exit code %lu\n",
                static_cast<unsigned long>(exitCode.value_or(999)));
    // The stub records "pid, uses show state, show state, command line" per start.
    const auto record = ReadBytes(folder + L"\\kivapp1.record");
    if (!record) {
        std::printf("kivapp1.exe was not relaunched\n");
        return 1;
    }
    std::printf("kivapp1.exe relaunched (pid, show-state flag, show state, command line):\n%s",
                record->c_str());
    return 0;
}
