#include "webclient/cipher.h"
#include "webclient/webpost.h"

CString CWebPOST::EncryptValue(const CString& text) {
    return encryptRequestValue(WideToMultiByte(text.GetString(), CP_UTF8));
}
