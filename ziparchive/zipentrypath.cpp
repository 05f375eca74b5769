#include "ziparchive/zipentrypath.h"

#include "foundation/common_util.h"

namespace {

bool isSafePart(const CString& part) {
    if (part.IsEmpty() || part == L".") return true;
    if (part.Find(L':') >= 0) return false;
    // "..", "..." and dot-and-space runs: Windows trims trailing dots and
    // spaces, so all of them can end up meaning a parent folder.
    if (part.SpanIncluding(L". ").GetLength() == part.GetLength()) return false;
    return !common_util::is_unusable_name_level(part);
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
