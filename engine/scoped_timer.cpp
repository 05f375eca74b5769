#include "engine/scoped_timer.h"

#include "engine/function_manager.h"

#include <cwchar>

namespace {

void splitMillis(DWORD ms, unsigned long& minutes, unsigned long& seconds, long& millis) {
    minutes = ms / 60000;
    seconds = (ms / 1000) % 60;
    millis = static_cast<long>(ms % 1000);
}

}  // namespace

scoped_timer::scoped_timer(const wchar_t*, const char*, int, const char*)
    : m_dwEngineStart(function_manager::getInstance()->m_dwStartTick), m_dwStart(GetTickCount()) {
    wchar_t text[64];
    formatSince(m_dwEngineStart, m_dwStart, text, 64);
}

scoped_timer::~scoped_timer() {
    const DWORD end = GetTickCount();
    unsigned long sm, ss, em, es, dm, ds;
    long sms, ems, dms;
    splitMillis(m_dwStart - m_dwEngineStart, sm, ss, sms);
    splitMillis(end - m_dwEngineStart, em, es, ems);
    splitMillis(end - m_dwStart, dm, ds, dms);
    wchar_t text[160];
    swprintf(text, 160, L"start-%lu:%02lu.%03ld / end-%lu:%02lu.%03ld / dur-%lu:%02lu.%03ld", sm, ss, sms, em, es,
             ems, dm, ds, dms);
}

void scoped_timer::formatSince(DWORD engineStart, DWORD tick, wchar_t* out, size_t chars) {
    unsigned long m, s;
    long ms;
    splitMillis(tick - engineStart, m, s, ms);
    swprintf(out, chars, L"start-%lu:%02lu.%03ld", m, s, ms);
}
