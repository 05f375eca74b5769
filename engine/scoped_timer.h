#pragma once
// A stopwatch around an engine operation, measured from the engine's start.
// It writes nothing; it only makes sure the engine exists.
#include <windows.h>

class scoped_timer {
public:
    scoped_timer(const wchar_t* name, const char* file, int line, const char* function);
    ~scoped_timer();
    scoped_timer(const scoped_timer&) = delete;
    scoped_timer& operator=(const scoped_timer&) = delete;

    // "start-m:ss.mmm" of a tick count since the engine started.
    static void formatSince(DWORD engineStart, DWORD tick, wchar_t* out, size_t chars);

private:
    DWORD m_dwEngineStart;
    DWORD m_dwStart;
};
