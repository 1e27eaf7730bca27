#pragma once

#include "platform/win32/Windows_win.h"

namespace kiv {

// A start of the program that is to run one component's registration code, and nothing
// else, finds this variable in its environment: the inherited handle, in decimal, of
// the section that holds its task. Its command line says nothing, so the argument text of
// every start keeps its one meaning, the installation folder.
constexpr wchar_t kRegistrationChannelVariable[] = L"KIV_REGISTRATION_CHANNEL";

// How far the registration got; it only moves forward.
enum class RegistrationStage : LONG {
    Begun,         // nothing done yet
    Loading,       // in the library's load, its DllMain included
    NotLoaded,     // the load failed
    NoEntryPoint,  // the library lacks the export
    Calling,       // inside the entry point
    Returned,      // result holds what it returned
};

// The section shared by the program and its registration process, which are the same
// file, so the layout cannot differ between them. The program writes the task before the
// process starts; the process writes how far it got, which the program reads once the
// process has ended.
struct RegistrationChannel {
    DWORD size;  // of this structure: what the process checks it was handed
    char exportName[32];
    wchar_t path[32768];  // full, so that no search decides which file it is
    volatile LONG stage;
    volatile LONG result;
};

}  // namespace kiv
