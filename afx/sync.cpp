#include "afx/sync.h"

#include "afx/exception.h"

CSyncObject::~CSyncObject() {
    if (m_hObject) CloseHandle(m_hObject);
}

BOOL CSyncObject::Lock(DWORD timeout) {
    DWORD r = WaitForSingleObject(m_hObject, timeout);
    return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
}

CMutex::CMutex(BOOL initiallyOwn, LPCWSTR name, LPSECURITY_ATTRIBUTES sa) {
    m_hObject = CreateMutexW(sa, initiallyOwn, name);
    if (!m_hObject) AfxThrowMemoryException();
}

CEvent::CEvent(BOOL initiallyOwn, BOOL manualReset, LPCWSTR name, LPSECURITY_ATTRIBUTES sa) {
    m_hObject = CreateEventW(sa, manualReset, initiallyOwn, name);
    if (!m_hObject) AfxThrowMemoryException();
}

CSingleLock::CSingleLock(CSyncObject* object, BOOL initialLock) : m_object(object) {
    if (initialLock) Lock();
}

BOOL CSingleLock::Lock(DWORD timeout) {
    if (!m_object || m_acquired) return m_acquired;
    m_acquired = m_object->Lock(timeout);
    return m_acquired;
}

BOOL CSingleLock::Unlock() {
    if (m_object && m_acquired) m_acquired = !m_object->Unlock();
    return !m_acquired;
}
