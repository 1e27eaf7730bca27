#pragma once

namespace kiv {

struct IStringTable;
struct IShellFolders;
struct IModules;
struct ISystemDirs;
struct IFiles;
struct IRuntime;
struct IViewFactory;
struct IRegistrations;
struct IProcesses;
struct ISignatures;

// Every platform concern of the program, wired once by the composition point
// (WinMain, or a test fixture) before any of the program's code runs.
struct Ports {
    IStringTable* strings = nullptr;
    IShellFolders* shell = nullptr;
    IModules* modules = nullptr;
    ISystemDirs* dirs = nullptr;
    IFiles* files = nullptr;
    IRuntime* runtime = nullptr;
    IViewFactory* views = nullptr;
    IRegistrations* registrations = nullptr;
    IProcesses* processes = nullptr;
    ISignatures* signatures = nullptr;  // only where the build carries pins
};

Ports& Platform();
void InstallPorts(const Ports& ports);

}  // namespace kiv
