#pragma once
// Turns an unhandled exception anywhere in the process into
// "crashDump.dmp" in the user's application-data folder, tells the user and
// logs the outcome. The filter stays installed after the object is gone.
#include "afx/string.h"

class MiniDumper {
public:
    // How the outcome reaches the user; a message box unless replaced.
    using Notifier = void (*)(const CString& text);

    MiniDumper();
    ~MiniDumper() = default;

    static LONG WINAPI UnhandledException(EXCEPTION_POINTERS* exception);

    static void setNotifier(Notifier notifier);
    static CString dumpPath();
};
