#pragma once
// Programs and libraries of the operating system are started and loaded by
// their full path in the system folder: a bare name would also be looked up
// in the current folder, which for a program running as administrator is a
// way in. Tests point the folder at stubs of their own.
#include "afx/string.h"

// The system folder without a trailing "\" (or the folder set for tests).
CString systemFolder();
// Replaces the system folder; an empty text goes back to the real one.
// Returns the folder set before. Set it before threads use it.
CString setSystemFolder(const CString& folder);
// systemFolder() + "\" + name.
CString systemFilePath(const CString& name);
// LoadLibrary by full path in the system folder.
HMODULE loadSystemLibrary(const CString& name);
// Starts program (a file name in the system folder) with the arguments
// after its quoted full path. The caller closes the handles in info.
BOOL startSystemProgram(const CString& program, const CString& arguments, DWORD creationFlags,
                        BOOL inheritHandles, STARTUPINFOW& startup, PROCESS_INFORMATION& info);
