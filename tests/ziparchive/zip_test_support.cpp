#include "tests/ziparchive/zip_test_support.h"

CString fixture(const CString& name) {
    return moduleFolder() + L"fixtures\\" + name;
}

std::string expectedBytes(const CString& name) {
    CString path = fixture(L"expected\\" + name);
    path.Replace(L'/', L'\\');
    return readBytes(path);
}

CString copyFixture(const CString& name, const CString& folder) {
    CString base = folder;
    if (base.Right(1) != L"\\") base += L"\\";
    CString target = base + name.Mid(name.ReverseFind(L'\\') + 1);
    CopyFileW(fixture(name).GetString(), target.GetString(), FALSE);
    return target;
}

int outcome(const std::function<void()>& call, CString* fileName) {
    try {
        call();
        return kOk;
    } catch (CZipException* e) {
        int cause = e->m_iCause;
        if (fileName) *fileName = e->m_szFileName;
        e->Delete();
        return cause;
    } catch (CFileException* e) {
        if (fileName) *fileName = e->m_strFileName;
        e->Delete();
        return kFileError;
    }
}

int extractAll(const CString& archive, const CString& folder, std::string* results) {
    CZipArchive zip;
    int result = outcome([&] {
        zip.Open(archive.GetString(), CZipArchive::zipOpenReadOnly, 0);
        for (int i = 0; i < zip.GetCount(); ++i) {
            bool ok = zip.ExtractFile(static_cast<WORD>(i), folder.GetString());
            if (results) *results += ok ? '1' : '0';
        }
    });
    zip.Close(true);
    return result;
}

void putWord(std::string& bytes, size_t at, unsigned value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void putDword(std::string& bytes, size_t at, unsigned long value) {
    putWord(bytes, at, value & 0xFFFF);
    putWord(bytes, at + 2, (value >> 16) & 0xFFFF);
}
