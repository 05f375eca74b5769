#include "ui/session_flags.h"

BOOL g_bSignedIn = FALSE;
