#include "tests/descriptors/descriptor_fixtures.h"

CString crlf(std::initializer_list<const wchar_t*> lines) {
    CString text;
    for (const wchar_t* line : lines) {
        text += line;
        text += L"\r\n";
    }
    return text;
}

std::unique_ptr<InfInfo> entryFromText(const CString& infFileName, const CString& text, int modelFlag,
                                       InfInfo* firstDescriptor) {
    auto entry = std::make_unique<InfInfo>();
    entry->setInfFileName(infFileName);
    entry->setModelFlag(modelFlag);
    entry->setFirstDescriptor(firstDescriptor ? firstDescriptor : entry.get());
    entry->m_guard.set();
    entry->readInfText(text);
    return entry;
}

CString standardHead(const wchar_t* version) {
    CString head = crlf({L"[HEAD]", L"ROOT_URL=https://host/contents/pkg", L"SD_ROOT=SD", L"COMMON_PATH=CAR"});
    head += L"UPDATE_VERSION=";
    head += version;
    head += L"\r\n";
    return head;
}
