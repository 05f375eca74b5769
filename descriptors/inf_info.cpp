#include "descriptors/inf_info.h"

#include "descriptors/response_parser_inf_file.h"

namespace {

// Each request for the descriptor makes this many attempts in a row; the
// worker has its own connect retries inside each.
constexpr int kLoadAttempts = 4;
// All attempts of one request together: an unreachable host would otherwise
// hold the asking thread for many minutes.
constexpr ULONGLONG kLoadBudgetMs = 60000;

}  // namespace

CString infTextFromBytes(const char* bytes, size_t count) {
    size_t length = 0;
    while (length < count && bytes[length] != 0) ++length;
    size_t start = 0;
    // Read as ANSI, the mark would become three letters glued to the first
    // line and hide the head's section header.
    if (length >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF && static_cast<unsigned char>(bytes[1]) == 0xBB &&
        static_cast<unsigned char>(bytes[2]) == 0xBF)
        start = 3;
    if (length - start > static_cast<size_t>(INT_MAX)) return CString();
    return MultiByteToWide(bytes + start, CP_THREAD_ACP, static_cast<int>(length - start));
}

InfInfo::InfInfo() : m_pOwner(this), m_pHead(new InfFileHeadHvq), m_pTails(new InfFileTailMap) {}

InfInfo::~InfInfo() {
    releaseInfFile();
}

void InfInfo::releaseInfFile() {
    if (m_pTails) {
        m_pTails->clear();
        delete m_pTails;
        m_pTails = nullptr;
    }
    if (m_pHead) {
        m_pHead->values().clear();
        delete m_pHead;
        m_pHead = nullptr;
    }
}

InfFileTailMap* InfInfo::loadAttempts(const std::atomic<bool>* run) {
    if (m_nReads.load() != 0) return m_pTails;
    const ULONGLONG deadline = GetTickCount64() + kLoadBudgetMs;
    for (int i = 0; i < kLoadAttempts; ++i) {
        if (i > 0 && ((run && !run->load()) || GetTickCount64() >= deadline)) break;
        if (loadInfFile(run, deadline)) break;
    }
    return m_nReads.load() != 0 ? m_pTails : nullptr;
}

InfFileHead* InfInfo::getInfFileHead(const std::atomic<bool>* run) {
    return loadAttempts(run) ? m_pHead : nullptr;
}

InfFileTailMap* InfInfo::getInfFileTails(const std::atomic<bool>* run) {
    return loadAttempts(run);
}

CString InfInfo::getInfFileUrl() const {
    CString url = m_strInfUrl;
    if (!url.IsEmpty() && url[url.GetLength() - 1] == L'/') url.Truncate(url.GetLength() - 1);
    return url + L"/" + m_strInfFileName;
}

int InfInfo::readInfText(const CString& text) {
    if (!m_pHead || !m_pTails) return 0;
    ResponseParserInfFile parser(m_pHead, m_pTails);
    if (!parser.parse(text)) {
        ++m_nFailures;
        return 0;
    }
    // A descriptor lists at least one file; without one the text is not a
    // descriptor, and reading it as loaded would let a medium seem up to date.
    if (m_pTails->size() == 0) {
        m_pHead->values().clear();
        ++m_nFailures;
        return 0;
    }
    if (!m_strInfFileName.IsEmpty()) m_pHead->addValue(L"INF_FILENAME", m_strInfFileName);
    m_pHead->addValue(L"HVQ_FILE_TYPE",
                      getFileTypeName(m_pOwner->m_nModelFlag != 0 ? INF_FILE_TYPE_HVQ_MODEL : INF_FILE_TYPE_COMMON));
    ++m_nReads;
    return 1;
}
