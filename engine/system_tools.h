#pragma once
// System programs and libraries are started or loaded by their full path in
// the system folder: the program runs as administrator, and a bare name
// would be looked up in the program's and the current folder first. Tests
// point the folder at their stand-ins.
#include "afx/string.h"

// Folder + "\" + name.
CString systemToolPath(const CString& name);
// Replaces the system folder for the whole process; an empty folder
// restores it. Returns the folder that was set before (empty for none).
CString setSystemToolFolder(const CString& folder);
