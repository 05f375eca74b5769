#pragma once
// Window messages registered with the system by name; every registration of
// a name gives the same id, in any module.
#include <windows.h>

extern const UINT RWM_USBDETECTOR_MESSAGE;  // wParam drive letter, lParam 1 arrived / 0 gone
extern const UINT RWM_MESSAGE_RESULT;       // wParam the answer, lParam the message type
extern const UINT RWM_SEND_STATICS;
extern const UINT RWM_SEND_STATICS_HIDDEN;
extern const UINT RWM_CHANGE_LANGUAGE;
extern const UINT RWM_THREAD_START;
extern const UINT RWM_LOGIN_PROCESS;
extern const UINT RWM_THREAD_END;           // wParam the login result
extern const UINT RWM_EXIT_PROGRAM_CANCEL;
extern const UINT RWM_CONFIG_CLOSED;
