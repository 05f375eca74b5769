#include "ziparchive/zipentrypath.h"

namespace {

bool isReservedDeviceName(CString part) {
    // Windows opens the device for these base names whatever the folder
    // and extension: "C:\out\nul.txt" is the null device.
    int dot = part.Find(L'.');
    if (dot >= 0) part = part.Left(dot);
    part.TrimRight(L' ');
    part.MakeUpper();
    static const wchar_t* const fixed[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* name : fixed) {
        if (part == name) return true;
    }
    if (part.GetLength() == 4 && (part.Left(3) == L"COM" || part.Left(3) == L"LPT") && part[3] >= L'1' &&
        part[3] <= L'9') {
        return true;
    }
    return false;
}

bool isSafePart(const CString& part) {
    if (part.IsEmpty() || part == L".") return true;
    if (part.Find(L':') >= 0) return false;
    // "..", "..." and dot-and-space runs: Windows trims trailing dots and
    // spaces, so all of them can end up meaning a parent folder.
    if (part.SpanIncluding(L". ").GetLength() == part.GetLength()) return false;
    return !isReservedDeviceName(part);
}

}  // namespace

bool buildEntryTargetPath(const CString& folder, const CString& name, bool fullPath, CString& target) {
    target.Empty();
    CString relative = name;
    relative.Replace(L'/', L'\\');
    if (fullPath) {
        if (relative.GetLength() >= 2 && relative[1] == L':') relative = relative.Mid(2);
        relative.TrimLeft(L'\\');
    } else {
        relative = relative.Mid(relative.ReverseFind(L'\\') + 1);
    }
    if (relative.IsEmpty()) return false;

    int start = 0;
    while (start <= relative.GetLength()) {
        int end = relative.Find(L'\\', start);
        if (end < 0) end = relative.GetLength();
        if (!isSafePart(relative.Mid(start, end - start))) return false;
        start = end + 1;
    }

    CString base = folder;
    base.TrimRight(L'\\');
    target = base + L"\\" + relative;
    return true;
}
