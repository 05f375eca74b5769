#include "engine/thread_name.h"

#include <cstdio>

namespace {

constexpr DWORD kNameThreadException = 0x406D1388;

LONG CALLBACK swallowThreadName(PEXCEPTION_POINTERS info) {
    if (info->ExceptionRecord->ExceptionCode == kNameThreadException) return EXCEPTION_CONTINUE_EXECUTION;
    return EXCEPTION_CONTINUE_SEARCH;
}

using SetThreadDescriptionFn = HRESULT(WINAPI*)(HANDLE, PCWSTR);

}  // namespace

void SetThreadName(CWinThread* thread, const char* name) {
    if (!thread || !name) return;
    char text[257] = {};
    snprintf(text, 256, "* %s (0x%x)", name, static_cast<unsigned>(thread->m_nThreadID));

    static const auto describe = reinterpret_cast<SetThreadDescriptionFn>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetThreadDescription"));
    if (describe) {
        wchar_t wide[257] = {};
        MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 256);
        describe(thread->m_hThread, wide);
    }

    // The naming exception is for a debugger; without one nothing would
    // catch it and the process would end (GCC has no structured handlers,
    // so a vectored one continues after it).
    if (!IsDebuggerPresent()) return;
    ULONG_PTR args[4] = {0x1000, reinterpret_cast<ULONG_PTR>(text), thread->m_nThreadID, 0};
    PVOID handler = AddVectoredExceptionHandler(1, swallowThreadName);
    RaiseException(kNameThreadException, 0, 4, args);
    if (handler) RemoveVectoredExceptionHandler(handler);
}
