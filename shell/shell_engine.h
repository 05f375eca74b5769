#pragma once
// The engine as the exit paths and the title buttons see it: the managers'
// active flags, the stop that joins the engine before the resume files are
// written, the quit command. The program uses the engine itself; tests put
// a recording double in its place.
#include "afx/afx.h"

class IShellEngine {
public:
    virtual ~IShellEngine() = default;

    virtual bool isDownloadActive() = 0;
    virtual bool isUnzipActive() = 0;
    virtual bool isCopyActive() = 0;
    // No worker, compute or format thread of an earlier run is left.
    virtual bool isIdle() = 0;
    // Stops the transfer side and waits (bounded, pumping) for every engine
    // thread, so that nothing writes the download folder any more.
    virtual void stopAndJoin() = 0;
    // Whether the last stopAndJoin saw every engine thread end. A thread
    // that outlived the bounded join may still hold a page or the format's
    // drive: what it holds must then live until the process ends.
    virtual bool lastJoinCompleted() { return true; }
    // The current update's version files, mode 2, into the download folder:
    // a later run continues the download.
    virtual void writeResumeVersionFiles() = 0;
    // FM_CMD_QUIT to the command thread.
    virtual void postQuit() = 0;
    // The worker manager closes this process's own handles in the folder.
    virtual void closeOwnHandles(const CString& folder) = 0;
};

// The engine the shell talks to; the program's own unless a test set one.
IShellEngine& shellEngine();
// Null puts the program's own back.
void setShellEngine(IShellEngine* engine);
