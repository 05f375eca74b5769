#pragma once
// Where an entry lands: folder + "\" + the entry's relative path.
#include "afx/string.h"

// Builds the target path of an entry name ("\" or "/" separators). With
// fullPath the name's folders are kept, without any drive and leading
// separators; without it only the file name is used. FALSE (and no path)
// when the name would write outside the folder or onto a device: ".."
// parts, a drive or ":" stream left after stripping, a reserved device
// name such as "CON" or "NUL.txt", a control character (NUL included), or
// nothing left at all.
bool buildEntryTargetPath(const CString& folder, const CString& name, bool fullPath, CString& target);
