#include "platform/win32/Guard_win.h"

#include <sddl.h>

#include "platform/win32/Bind_win.h"

namespace kiv {

namespace {

// One name for every session first, so that two administrators cannot update at once;
// a session that may not use the global namespace keeps the guard to itself.
constexpr wchar_t kGlobalMutex[] = L"Global\\KivAldervikUpdate";
constexpr wchar_t kLocalMutex[] = L"Local\\KivAldervikUpdate";

// A private namespace is found by its name and its boundary together, and only a process
// whose token holds every SID of the boundary, enabled, may make it: with the Administrators
// group that is an elevated administrator (or the system), never a user's own process,
// nor an administrator's unelevated one, where the group is for denying only. The boundary
// names no session, so one namespace serves them all, and two administrators still cannot
// update at once. The boundary also carries the high integrity level, so that a process
// holding the group but running at a lower level (an administrator's token a program has
// lowered, a sandbox) cannot make the namespace either.
constexpr wchar_t kNamespace[] = L"KivAldervikUpdate";
// Anyone who holds the namespace open keeps it in being after the program ends, and every
// later update out; only administrators may open it.
constexpr wchar_t kAdministratorsOnly[] = L"D:P(A;;GA;;;BA)";

// Bound by name, once, before the first window: kernel32 has them from Vista on (the
// integrity label from Windows 7 on), but wine 8 exports only the first. An import of the
// others still loads there (wine puts a stub in each one's place), but the stub ends the
// program when called; bound, a missing one is seen and the mutex taken. So under wine the
// namespace and its labels are never made, and what keeps them right is this reading: the
// boundary names the Administrators group and the high level, and only a process with both
// may make the namespace; every other one falls back to the name anyone can make.
struct NamespaceCalls {
    decltype(&CreateBoundaryDescriptorW) createBoundary;
    decltype(&AddSIDToBoundaryDescriptor) addSid;
    decltype(&AddIntegrityLabelToBoundaryDescriptor) addLabel;
    decltype(&DeleteBoundaryDescriptor) deleteBoundary;
    decltype(&CreatePrivateNamespaceW) createNamespace;
    bool Complete() const {
        return createBoundary && addSid && addLabel && deleteBoundary && createNamespace;
    }
};

const NamespaceCalls& Calls() {
    static const NamespaceCalls calls = [] {
        const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        return NamespaceCalls{KIV_BOUND_CALL(kernel, CreateBoundaryDescriptorW),
                              KIV_BOUND_CALL(kernel, AddSIDToBoundaryDescriptor),
                              KIV_BOUND_CALL(kernel, AddIntegrityLabelToBoundaryDescriptor),
                              KIV_BOUND_CALL(kernel, DeleteBoundaryDescriptor),
                              KIV_BOUND_CALL(kernel, CreatePrivateNamespaceW)};
    }();
    return calls;
}

// Made only once every call is bound, so its deletion is always there.
struct BoundaryTraits {
    static HANDLE None() { return nullptr; }
    static bool Valid(HANDLE h) { return h != nullptr; }
    static void Close(HANDLE h) { Calls().deleteBoundary(h); }
};
using ScopedBoundary = ScopedHandle<HANDLE, BoundaryTraits>;

}  // namespace

// The namespace itself is the guard: nothing is made inside it. It lasts as long as a
// handle to it, which only this process holds and which Windows closes when it ends.
Claim Win32GuardNames::ClaimAdministratorsName() {
    const NamespaceCalls& calls = Calls();
    if (!calls.Complete()) {
        return Claim::NotMade;
    }
    BYTE administrators[SECURITY_MAX_SID_SIZE], highLevel[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof(administrators), labelSize = sizeof(highLevel);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &sidSize) ||
        !CreateWellKnownSid(WinHighLabelSid, nullptr, highLevel, &labelSize) ||
        !ConvertStringSecurityDescriptorToSecurityDescriptorW(kAdministratorsOnly, SDDL_REVISION_1,
                                                              &descriptor, nullptr)) {
        return Claim::NotMade;
    }
    const ScopedLocalMemory ownedDescriptor(descriptor);
    HANDLE boundary = calls.createBoundary(kNamespace, 0);
    // Adding a SID may move the descriptor, so it is owned as it is once both are in.
    const bool bounded = boundary != nullptr && calls.addSid(&boundary, administrators) &&
                         calls.addLabel(&boundary, highLevel);
    const ScopedBoundary ownedBoundary(boundary);
    if (!bounded) {
        return Claim::NotMade;
    }
    SECURITY_ATTRIBUTES attributes = {static_cast<DWORD>(sizeof(attributes)), descriptor, FALSE};
    const HANDLE made = calls.createNamespace(&attributes, boundary, kNamespace);
    if (made == nullptr) {
        // Refused as outside the boundary (not elevated), it is not made, and the open name
        // is the guard, as on systems without namespaces.
        return GetLastError() == ERROR_ALREADY_EXISTS ? Claim::HeldElsewhere : Claim::NotMade;
    }
    held_.Reset(made);
    return Claim::Made;
}

Claim Win32GuardNames::ClaimOpenName() {
    HANDLE made = CreateMutexW(nullptr, FALSE, kGlobalMutex);
    DWORD error = GetLastError();
    if (made == nullptr && error == ERROR_ACCESS_DENIED) {
        made = CreateMutexW(nullptr, FALSE, kLocalMutex);
        error = GetLastError();
    }
    if (made == nullptr) {
        return Claim::NotMade;
    }
    held_.Reset(made);
    return error == ERROR_ALREADY_EXISTS ? Claim::HeldElsewhere : Claim::Made;
}

}  // namespace kiv
