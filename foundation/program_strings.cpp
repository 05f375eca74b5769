#include "foundation/program_strings.h"

CString g_strCorpCode = L"N";
CString g_strJoinCorpCode = L"N";
CString g_strMessageNumber;
CString g_strTermsTitle1;
CString g_strTermsTitle3;
CString g_strTermsTitle4;
CString g_strTermsFileEmpty;
CString g_strTermsBtnName;
CString g_strTermsRadio1;
CString g_strTermsRadio2;
