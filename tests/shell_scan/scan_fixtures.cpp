#include "tests/shell_scan/scan_fixtures.h"

#include "foundation/globalfunc.h"
#include "tests/descriptors/descriptor_fixtures.h"
#include "tests/support/test_support.h"

InfInfo* makeEntry(const EntryDef& def) {
    CString text = standardHead() + crlf({L"[F1]", L"AG_FILENAME=a.dat", L"AG_FILESIZE=3", L"AG_FILECRC=1",
                                          L"AG_VER=1", L"DEST_PATH=$SD_ROOT$\\MAP", L"FILEINFO_PATH=x"});
    InfInfo* entry = entryFromText(def.inf, text, def.modelFlag).release();
    entry->setFirstDescriptor(entry);
    entry->setBrandCode(def.brand);
    entry->setModelCode(def.model);
    entry->setSwVersion(def.sw);
    entry->setMediaType(L"SD");
    entry->setDeviceName(def.device);
    CString intl = def.device;
    entry->setDeviceNameIntl(intl + L" (intl)");
    return entry;
}

InfInfoList* makeList(std::initializer_list<EntryDef> defs, int corp, const wchar_t* userId) {
    auto* list = new InfInfoList(true);
    for (const EntryDef& s : defs) list->m_list.push_back(makeEntry(s));
    list->setCorp(corp);
    list->setUserId(userId);
    list->setUserType(0);
    return list;
}

std::string utf8(const CString& text) {
    CStringA bytes = WideToMultiByte(text.GetString(), CP_UTF8);
    return std::string(bytes.GetString(), static_cast<size_t>(bytes.GetLength()));
}

void writeText(const CString& path, const CString& text, bool utf16) {
    const int slash = path.ReverseFind(L'\\');
    CGlobalFunc::createDirectory(path.Left(slash));
    if (!utf16) {
        writeBytes(path, utf8(text));
        return;
    }
    std::string bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.GetString()), static_cast<size_t>(text.GetLength()) * 2);
    writeBytes(path, bytes);
}
