#include "platform/win32/Contain_win.h"

#include <cstdint>

namespace kiv {

namespace {

using HandlerChain = decltype(NT_TIB::ExceptionList);

// What a worker inside CallContained leaves for the filter, in its own frame.
struct Containment {
    HandlerChain handlers;  // the 32-bit chain of handler frames as it stood at the call
    DWORD code;             // the exception that ends the worker; 0 until there is one
};

DWORD g_slot = TLS_OUT_OF_INDEXES;
LPTOP_LEVEL_EXCEPTION_FILTER g_previous = nullptr;

NT_TIB* ThreadBlock() {
    return reinterpret_cast<NT_TIB*>(NtCurrentTeb());
}

[[noreturn]] void EndWorker() {
    const auto* containment = static_cast<Containment*>(TlsGetValue(g_slot));
    // On 32-bit Windows the chain of handler frames still starts in the component's
    // abandoned frames: it is put back as it was before the call.
    ThreadBlock()->ExceptionList = containment->handlers;
    ExitThread(containment->code);
}

// Makes the thread resume in EndWorker on a stack cut back to just below CallContained's
// frame, laid out as a call would leave it: a return address (none) on top and the stack
// aligned to 16 bytes below it, with the caller's 32 bytes of shadow space on x64.
void ResumeInEndWorker(CONTEXT& context, const Containment* containment) {
    auto top = (reinterpret_cast<std::uintptr_t>(containment) & ~std::uintptr_t{15}) - 64;
#if defined(_M_X64) || defined(__x86_64__)
    top -= 32 + 8;
    *reinterpret_cast<DWORD64*>(top) = 0;
    context.Rsp = top;
    context.Rip = reinterpret_cast<DWORD64>(&EndWorker);
#else
    top -= 4;
    *reinterpret_cast<DWORD*>(top) = 0;
    context.Esp = static_cast<DWORD>(top);
    context.Eip = reinterpret_cast<DWORD>(&EndWorker);
#endif
    context.EFlags &= ~DWORD{0x400};  // the direction flag, which every call expects clear
}

// The last filter of all, so a component's own handlers (and any vectored ones) see the
// exception first. Every thread that is not inside CallContained gets the filter that
// was there before, as if this one did not exist.
LONG WINAPI Filter(EXCEPTION_POINTERS* exception) {
    auto* containment = static_cast<Containment*>(TlsGetValue(g_slot));
    if (containment == nullptr || containment->code != 0) {  // or a fault on the way out
        return g_previous ? g_previous(exception) : EXCEPTION_CONTINUE_SEARCH;
    }
    containment->code = exception->ExceptionRecord->ExceptionCode;
    if (exception->ExceptionRecord->ExceptionFlags & EXCEPTION_NONCONTINUABLE) {
        EndWorker();  // cannot be resumed elsewhere, so the thread ends inside the dispatch
    }
    ResumeInEndWorker(*exception->ContextRecord, containment);
    return EXCEPTION_CONTINUE_EXECUTION;
}

DWORD InstallFilter() {
    g_slot = TlsAlloc();
    g_previous = SetUnhandledExceptionFilter(Filter);
    return g_slot;
}

HRESULT Call(RegistrationEntry entry) {
    try {
        return entry();
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace

HRESULT CallContained(RegistrationEntry entry) {
    static const DWORD slot = InstallFilter();
    Containment containment = {ThreadBlock()->ExceptionList, 0};
    TlsSetValue(slot, &containment);
    const HRESULT result = Call(entry);
    TlsSetValue(slot, nullptr);
    return result;
}

}  // namespace kiv
