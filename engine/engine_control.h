#pragma once
// What the application shell does with the engine as a whole: the download
// folder handed to every manager, the preparation of a run on the compute
// thread, the stop of the transfer side, and the engine's shut-down.
#include "descriptors/inf_info.h"

#include <list>

namespace engine_control {

// The download folder ("DataPath"), with "\\" and "/" made "\", to the
// pre-check, download, unzip, copy and worker managers.
void setManagerPaths();
void setManagerPaths(const CString& downloadFolder);

// Prepares a run on the calling (compute) thread: managers' folders, the
// five boards, the item and version-file lists from the descriptors (taken
// in list order), and the pre-check, which ends with UM_CHECK_COMPLETE. The
// lists are rebuilt only once every worker of an earlier run has ended;
// when they do not end in time the run is not prepared and the check
// reports failure (UM_CHECK_COMPLETE with 0).
void InitDownload(const std::list<InfInfo*>& descriptors);

// Stops the transfer side: the command queue paused, the pre-check, the
// download session and the unzip and copy sides stopped. Nothing waits.
void stopManagers();

// No worker uses a task record and no compute or format thread runs.
bool isIdle();

// Stops the managers, ends the command thread and waits, pumping messages,
// for every engine thread (command, compute, format, workers) up to
// timeoutMs in all. True when all ended; the engine's objects stay as long
// as the process, so a thread that did not end never meets a freed one.
bool shutdown(DWORD timeoutMs);

}  // namespace engine_control
