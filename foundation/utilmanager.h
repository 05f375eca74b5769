#pragma once
// Stateless checks and text helpers shared by the self-update, the pages,
// the transfer engine and the HTTP workers; callable from any thread.
#include "afx/string.h"

class CUtilManager {
public:
    // CRC-32 of the file against the value the server announced. A file
    // still held open by its writer is tried once more after three seconds
    // (the calling thread's messages keep flowing meanwhile); a file that
    // does not match is deleted.
    static bool CheckCRC(const CString& path, UINT32 expectedCrc);
    // 0 for an empty path; ULLONG_MAX (-1) when the file is missing or its
    // status cannot be read.
    static ULONGLONG getFileSize(const CString& path);
    // Token n of text split at every occurrence of separator (occurrences may
    // overlap). FALSE, with token empty, when there is no token n.
    static bool getToken(const CString& text, const CString& separator, CString& token, int n);
    // Takes the first CR-ended line of an ANSI text off the buffer: 1 with
    // the line (buffer shortened), 0 when the buffer was already empty.
    static int getLine(CString& line, CStringA& buffer);
};
