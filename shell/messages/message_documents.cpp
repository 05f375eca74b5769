#include "shell/messages/message_documents.h"

#include "afx/file.h"
#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"

namespace msg {
namespace {

CString withoutTrailingSlash(CString path) {
    while (!path.IsEmpty() && (path.Right(1) == L"\\" || path.Right(1) == L"/")) path.Delete(path.GetLength() - 1);
    return path;
}

void makeHiddenFolder(const CString& folder) {
    if (GetFileAttributesW(folder.GetString()) == INVALID_FILE_ATTRIBUTES) CGlobalFunc::createDirectory(folder);
    const DWORD attributes = GetFileAttributesW(withoutTrailingSlash(folder).GetString());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesW(withoutTrailingSlash(folder).GetString(), attributes | FILE_ATTRIBUTE_HIDDEN);
    }
}

}  // namespace

CString licenceFolder(const CString& appDataPath) { return appDataPath + L"\\Kestrune\\License\\"; }

CString writeLicenceFile(HMODULE module, const CString& appDataPath, const char* logFunction) {
    if (!module) return CString();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(kLicenceResourceId), kLicenceResourceType);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return CString();
    const DWORD size = SizeofResource(module, found);

    const CString folder = licenceFolder(appDataPath);
    makeHiddenFolder(folder);
    const CString path = folder + L"License_WIN.rtf";
    CGlobalFunc::deleteFile(path);

    CFile file;
    CFileException error;
    if (!file.Open(path.GetString(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary, &error)) {
        g_logManager.log(logFunction, __LINE__, L"File Open Failed. (error code : %d)\n", error.m_cause);
        return CString();
    }
    try {
        file.Write(bytes, size);
        file.Close();
    } catch (CException* e) {
        // A full disk leaves a cut document; show nothing rather than half.
        e->Delete();
        return CString();
    }
    return path;
}

CString documentFolder(const CString& installPath) {
    const CString folder = installPath + L"\\Eula\\";
    makeHiddenFolder(folder);
    return folder;
}

CString termsFilePath(const CString& installPath, int language) {
    const wchar_t* name = L"\\Eula\\TermsOfUse_en-US.rtf";
    if (language == LANGUAGE_KO) name = L"\\Eula\\TermsOfUse_ko-KR.rtf";
    else if (language == LANGUAGE_ES) name = L"\\Eula\\TermsOfUse_br-ES.rtf";
    else if (language == LANGUAGE_PT) name = L"\\Eula\\TermsOfUse_br-PT.rtf";
    return installPath + name;
}

CString consentFilePath(const CString& installPath, int region, int which) {
    const wchar_t* locale = region == REGION_KR ? L"ko-KR" : L"ko-US";
    CString name;
    name.Format(L"License_%s_%s.rtf", which == 2 ? L"D" : L"C", locale);
    return documentFolder(installPath) + name;
}

}  // namespace msg
