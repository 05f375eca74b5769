#pragma once
// Base of every reader of a structured reply: the web service's sign-in,
// GUID and language replies and the INF descriptor text. A reader lives on
// its caller's stack: built with its output places, parse called once, the
// result code read, then dropped.
#include "afx/string.h"

class ResponseParser {
public:
    ResponseParser(int resultCode, int format) : m_nResultCode(resultCode), m_nFormat(format) {}
    virtual ~ResponseParser() = default;

    // 1 when the text held what the reader expects, else 0.
    virtual int parse(CString text) = 0;
    virtual int getResultCode() const { return m_nResultCode; }

    int getFormat() const { return m_nFormat; }

protected:
    // -1 until a parse sets it; then the code the text carried or the
    // reader's own code.
    int m_nResultCode;
    // The reply layout the caller asks for; readers of a single layout
    // ignore it.
    int m_nFormat;
};
