#pragma once
// Names a thread for debuggers: "* <name> (0x<thread id>)".
#include "afx/thread.h"

// Nothing for a null thread or name.
void SetThreadName(CWinThread* thread, const char* name);
