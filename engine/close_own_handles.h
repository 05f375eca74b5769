#pragma once
// Closes this process's own open file handles on a path, so that a file a
// forgotten handle still holds can be deleted or rewritten. Only for a path
// on which a file operation has just failed with a sharing violation: the
// code that opened such a handle loses it.
#include "afx/string.h"

// A folder: every file handle below it. Anything else (also a missing path)
// is taken as a file: the one handle on exactly that file. Only disk files
// are closed. False when the handle table could not be read or another call
// is running.
bool closeOwnHandles(const CString& path);
