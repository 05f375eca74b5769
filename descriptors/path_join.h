#pragma once
// Joining folder names the way the platform's path-append call does: one
// "\" between the parts, leading "\" of a part dropped, "." and ".." levels
// resolved, the whole within MAX_PATH.
#include "afx/string.h"

// Appends part to path in place. FALSE (path unchanged) when the result
// would not fit MAX_PATH.
bool appendPath(CString& path, const CString& part);
