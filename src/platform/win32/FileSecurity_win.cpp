#include "platform/win32/FileSecurity_win.h"

#include <aclapi.h>

#include "platform/win32/ScopedWin_win.h"

namespace kiv {

namespace {

// Setting an owner other than oneself takes SeRestorePrivilege, which administrators hold
// but which is off until a program turns it on. It stays on for the life of the process.
bool RestorePrivilegeEnabled() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        return false;
    }
    const ScopedKernelHandle owned(token);
    TOKEN_PRIVILEGES privileges = {1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
    return LookupPrivilegeValueW(nullptr, SE_RESTORE_NAME, &privileges.Privileges[0].Luid) &&
           AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
           GetLastError() == ERROR_SUCCESS;  // not ERROR_NOT_ALL_ASSIGNED
}

}  // namespace

// Wine 8 keeps no access list on its disks: both calls succeed there, and what is read back
// is made from the file's mode, so no test under wine can tell whether this worked.
void KeepSecurityOf(const std::wstring& installed, const std::wstring& copy) {
    static const bool mayRestore = RestorePrivilegeEnabled();
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(installed.c_str(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                              nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
        return;
    }
    const ScopedLocalMemory ownedDescriptor(descriptor);
    // An access list that takes nothing from its folder stays so; one that does takes it
    // from the same folder as before.
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    const SECURITY_INFORMATION list =
        DACL_SECURITY_INFORMATION |
        ((control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION
                                       : UNPROTECTED_DACL_SECURITY_INFORMATION);
    std::wstring target = copy;  // the call takes a path it may write to
    if (!mayRestore ||
        SetNamedSecurityInfoW(target.data(), SE_FILE_OBJECT, list | OWNER_SECURITY_INFORMATION,
                              owner, nullptr, dacl, nullptr) != ERROR_SUCCESS) {
        SetNamedSecurityInfoW(target.data(), SE_FILE_OBJECT, list, nullptr, nullptr, dacl, nullptr);
    }
}

}  // namespace kiv
