#include "foundation/registered_messages.h"

const UINT RWM_USBDETECTOR_MESSAGE = RegisterWindowMessageW(L"RWM_USBDETECTOR_MESSAGE");
const UINT RWM_MESSAGE_RESULT = RegisterWindowMessageW(L"RWM_MESSAGE_RESULT");
const UINT RWM_SEND_STATICS = RegisterWindowMessageW(L"RWM_SEND_STATICS");
const UINT RWM_SEND_STATICS_HIDDEN = RegisterWindowMessageW(L"RWM_SEND_STATICS_HIDDEN");
const UINT RWM_CHANGE_LANGUAGE = RegisterWindowMessageW(L"RWM_CHANGE_LANGUAGE");
const UINT RWM_THREAD_START = RegisterWindowMessageW(L"RWM_THREAD_START");
const UINT RWM_LOGIN_PROCESS = RegisterWindowMessageW(L"RWM_LOGIN_PROCESS");
const UINT RWM_THREAD_END = RegisterWindowMessageW(L"RWM_THREAD_END");
const UINT RWM_EXIT_PROGRAM_CANCEL = RegisterWindowMessageW(L"RWM_EXIT_PROGRAM_CANCEL");
const UINT RWM_CONFIG_CLOSED = RegisterWindowMessageW(L"RWM_CONFIG_CLOSED");
