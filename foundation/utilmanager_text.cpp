// Reply fields and update-list lines.
#include "foundation/utilmanager.h"

#include <vector>

bool CUtilManager::getToken(const CString& text, const CString& separator, CString& token, int n) {
    token.Empty();
    if (n < 0) return false;
    const int length = text.GetLength();
    const int width = separator.GetLength();
    // Start of every occurrence; the scan moves on by one character, so
    // overlapping occurrences all count. An empty separator never occurs.
    std::vector<int> starts;
    if (width > 0) {
        for (int i = 0; i + width <= length && static_cast<int>(starts.size()) <= n; ++i) {
            if (wcsncmp(text.GetString() + i, separator.GetString(), static_cast<size_t>(width)) == 0) {
                starts.push_back(i);
            }
        }
    }
    const int found = static_cast<int>(starts.size());
    if (found > n) {
        // Token n ends where occurrence n starts.
        int begin = n == 0 ? 0 : starts[static_cast<size_t>(n - 1)] + width;
        int end = starts[static_cast<size_t>(n)];
        if (end > begin) token = text.Mid(begin, end - begin);
        return true;
    }
    if (found == 0) {
        if (n != 0) return false;
        token = text;
        return true;
    }
    if (found == n) {
        token = text.Mid(starts[static_cast<size_t>(n - 1)] + width);
        return true;
    }
    return false;
}

int CUtilManager::getLine(CString& line, CStringA& buffer) {
    int end = buffer.Find('\0');
    if (end >= 0) buffer.Truncate(end);
    if (buffer.IsEmpty()) return 0;
    // A CR byte is never part of a multi-byte character in an ANSI code
    // page, so the line can be cut in the bytes before decoding.
    int cr = buffer.Find('\r');
    if (cr < 0) {
        line = MultiByteToWide(buffer.GetString(), CP_ACP, buffer.GetLength());
        buffer.Empty();
        return 1;
    }
    line = MultiByteToWide(buffer.GetString(), CP_ACP, cr);
    int next = cr + 1;
    if (next < buffer.GetLength() && buffer[next] == '\n') ++next;
    buffer = buffer.Mid(next);
    return 1;
}
