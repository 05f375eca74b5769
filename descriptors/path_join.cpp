#include "descriptors/path_join.h"

#include <shlwapi.h>

bool appendPath(CString& path, const CString& part) {
    if (part.IsEmpty()) return true;
    if (path.GetLength() >= MAX_PATH || part.GetLength() >= MAX_PATH) return false;
    wchar_t buffer[MAX_PATH] = {};
    wcscpy_s(buffer, path.GetString());
    if (!PathAppendW(buffer, part.GetString())) return false;
    path = buffer;
    return true;
}
