// Program-wide flags of the shell's UI thread.
#include "shell/dlg_page_message.h"
#include "shell/dlg_page_message_exit.h"
#include "shell/shell_engine.h"
#include "shell/dlg_root.h"

BOOL g_bFolderPickerOpen = FALSE;
std::atomic<int> g_nButtonLock{0};
