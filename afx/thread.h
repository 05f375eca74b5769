#pragma once
// CWinThread and AfxBeginThread for worker threads. With m_bAutoDelete set
// (the default) the object deletes itself when its thread ends.
#include <windows.h>

using AFX_THREADPROC = UINT(__cdecl*)(LPVOID);

class CWinThread {
public:
    CWinThread(AFX_THREADPROC proc, LPVOID param) : m_pfnThreadProc(proc), m_pThreadParams(param) {}
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;
    virtual ~CWinThread();

    BOOL CreateThread(DWORD createFlags = 0, UINT stackSize = 0, LPSECURITY_ATTRIBUTES sa = nullptr);
    DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
    DWORD SuspendThread() { return ::SuspendThread(m_hThread); }
    BOOL SetThreadPriority(int priority) { return ::SetThreadPriority(m_hThread, priority); }
    int GetThreadPriority() const { return ::GetThreadPriority(m_hThread); }
    operator HANDLE() const { return m_hThread; }

    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    BOOL m_bAutoDelete = TRUE;

private:
    static unsigned __stdcall entry(void* self);

    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;
};

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority = THREAD_PRIORITY_NORMAL,
                           UINT stackSize = 0, DWORD createFlags = 0, LPSECURITY_ATTRIBUTES sa = nullptr);
