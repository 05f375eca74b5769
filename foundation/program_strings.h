#pragma once
// Texts shared by the pages. Assigned on the UI thread only.
#include "afx/string.h"

extern CString g_strCorpCode;       // brand code of the sign-in, "N" for none chosen
extern CString g_strJoinCorpCode;   // brand whose sign-up notice applies, "N" for none
extern CString g_strMessageNumber;  // replaces "[#Number#]" in a message text
// The terms view's texts, filled by the settings page before it opens it.
extern CString g_strTermsTitle1;
extern CString g_strTermsTitle3;
extern CString g_strTermsTitle4;
extern CString g_strTermsFileEmpty;
extern CString g_strTermsBtnName;
extern CString g_strTermsRadio1;
extern CString g_strTermsRadio2;
