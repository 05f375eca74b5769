#include "afx/thread.h"

#include <process.h>

CWinThread::~CWinThread() {
    if (m_hThread) CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(DWORD createFlags, UINT stackSize, LPSECURITY_ATTRIBUTES sa) {
    // Created suspended so that the caller's set-up (priority, auto-delete)
    // happens before the procedure can run and delete the object.
    unsigned id = 0;
    uintptr_t h = _beginthreadex(sa, stackSize, &CWinThread::entry, this, createFlags | CREATE_SUSPENDED, &id);
    if (!h) return FALSE;
    m_hThread = reinterpret_cast<HANDLE>(h);
    m_nThreadID = id;
    if (!(createFlags & CREATE_SUSPENDED)) ::ResumeThread(m_hThread);
    return TRUE;
}

unsigned __stdcall CWinThread::entry(void* p) {
    auto* self = static_cast<CWinThread*>(p);
    UINT code = self->m_pfnThreadProc(self->m_pThreadParams);
    if (self->m_bAutoDelete) delete self;
    return code;
}

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority, UINT stackSize, DWORD createFlags,
                           LPSECURITY_ATTRIBUTES sa) {
    auto* t = new CWinThread(proc, param);
    if (!t->CreateThread(createFlags | CREATE_SUSPENDED, stackSize, sa)) {
        delete t;
        return nullptr;
    }
    t->SetThreadPriority(priority);
    if (!(createFlags & CREATE_SUSPENDED)) t->ResumeThread();
    return t;
}
