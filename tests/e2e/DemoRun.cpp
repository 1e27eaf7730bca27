// Drives one demonstration run of kivupdate.exe for scripts/demo:
//   kivdemo.exe <installation folder> <go file>
// Starts the program on the folder, waits for its pass, prints the log, says READY and
// waits for the go file (the script takes its screenshot meanwhile), then closes the
// window as Alt+F4 would and prints how the main application was started again.
#include <cstdio>

#include "Harness.h"

using namespace kiv::e2e;

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::printf("usage: kivdemo <installation folder> <go file>\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    Program program(L"\"" + OwnFolder() + L"\\kivupdate.exe\" " + folder);
    if (const auto box = program.NextBox(120000); box || !program.PassEnded()) {
        std::printf("FAILED: %s\n", box ? box->text.c_str() : program.status.c_str());
        return 1;
    }
    for (const std::string& line : program.Log()) {
        std::printf("  | %s\n", line.c_str());
    }
    std::printf("READY\n");
    std::fflush(stdout);
    Within(60000, [&] { return Exists(argv[2]); });
    program.Close();
    const auto exitCode = program.Exit(20000);
    std::printf("kivupdate.exe ended with exit code %lu\n",
                static_cast<unsigned long>(exitCode.value_or(999)));
    const auto record = ReadBytes(folder + L"\\kivapp1.record");
    std::printf("kivapp1.exe relaunched (pid, show-state flag, show state, command line):\n%s",
                record.value_or("  (not relaunched)\n").c_str());
    return record ? 0 : 1;
}
