#include "platform/win32/ProgramJob_win.h"

namespace kiv {

namespace {

SRWLOCK startsAgainstTheEnd = SRWLOCK_INIT;

// A job that ends every process in it once its last handle closes. Its one handle is never
// closed and never inherited, so Windows closes it as the program ends, however it ends.
HANDLE ProgramJob() {
    static const HANDLE job = [] {
        HANDLE made = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (made && !SetInformationJobObject(made, JobObjectExtendedLimitInformation, &limits,
                                             sizeof limits)) {
            CloseHandle(made);
            made = nullptr;
        }
        return made;
    }();
    return job;
}

}  // namespace

// Held shared by each start from its creation to its resumption, exclusive by the end.
bool CreateInProgramJob(const wchar_t* image, wchar_t* commandLine, bool inheritHandles,
                        STARTUPINFOW& startup, PROCESS_INFORMATION& process) {
    AcquireSRWLockShared(&startsAgainstTheEnd);
    const bool created = CreateProcessW(image, commandLine, nullptr, nullptr, inheritHandles,
                                        CREATE_SUSPENDED, nullptr, nullptr, &startup, &process);
    if (created) {
        // Windows before 8 allows a process one job only, and one started by a program that
        // runs in a job is in that job already: it then runs untied rather than not at all.
        AssignProcessToJobObject(ProgramJob(), process.hProcess);
        ResumeThread(process.hThread);
    }
    const DWORD error = GetLastError();
    ReleaseSRWLockShared(&startsAgainstTheEnd);
    SetLastError(error);
    return created;
}

// Never released: the process ends holding it.
void BarStartsInProgramJob() {
    AcquireSRWLockExclusive(&startsAgainstTheEnd);
}

}  // namespace kiv
