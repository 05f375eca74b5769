#pragma once
// Synchronisation objects of the class library.
#include "afx/string.h"

class CSyncObject {
public:
    CSyncObject() = default;
    CSyncObject(const CSyncObject&) = delete;
    CSyncObject& operator=(const CSyncObject&) = delete;
    virtual ~CSyncObject();

    virtual BOOL Lock(DWORD timeout = INFINITE);
    virtual BOOL Unlock() = 0;
    operator HANDLE() const { return m_hObject; }

    HANDLE m_hObject = nullptr;
};

class CCriticalSection : public CSyncObject {
public:
    CCriticalSection() { InitializeCriticalSection(&m_sect); }
    ~CCriticalSection() override { DeleteCriticalSection(&m_sect); }

    BOOL Lock(DWORD = INFINITE) override { EnterCriticalSection(&m_sect); return TRUE; }
    BOOL Unlock() override { LeaveCriticalSection(&m_sect); return TRUE; }

    CRITICAL_SECTION m_sect;
};

class CMutex : public CSyncObject {
public:
    explicit CMutex(BOOL initiallyOwn = FALSE, LPCWSTR name = nullptr, LPSECURITY_ATTRIBUTES sa = nullptr);
    BOOL Unlock() override { return ReleaseMutex(m_hObject); }
};

class CEvent : public CSyncObject {
public:
    explicit CEvent(BOOL initiallyOwn = FALSE, BOOL manualReset = FALSE, LPCWSTR name = nullptr,
                    LPSECURITY_ATTRIBUTES sa = nullptr);
    BOOL SetEvent() { return ::SetEvent(m_hObject); }
    BOOL ResetEvent() { return ::ResetEvent(m_hObject); }
    BOOL PulseEvent() { return ::PulseEvent(m_hObject); }
    BOOL Unlock() override { return TRUE; }
};

class CSingleLock {
public:
    explicit CSingleLock(CSyncObject* object, BOOL initialLock = FALSE);
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;
    ~CSingleLock() { Unlock(); }

    BOOL Lock(DWORD timeout = INFINITE);
    BOOL Unlock();
    BOOL IsLocked() const { return m_acquired; }

private:
    CSyncObject* m_object;
    BOOL m_acquired = FALSE;
};
