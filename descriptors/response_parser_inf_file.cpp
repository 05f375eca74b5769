#include "descriptors/response_parser_inf_file.h"

bool ResponseParserInfFile::parseText(const CString& text) {
    if (text.IsEmpty()) {
        m_nResultCode = -1;
        return false;
    }
    m_nSection = 0;
    m_bSectionHasEntry = false;
    m_headPairs.clear();
    m_entryPairs.clear();

    CString body = text;
    // A byte-order mark would glue itself to the first line and hide the
    // head's section header, shifting every entry into the head.
    if (body[0] == 0xFEFF) body.Delete(0);

    common_util::split(body, L"\r\n", [this](int index, const CString& line) { return parseLine(index, line); });

    m_pHead->values().clear();
    for (const auto& pair : m_headPairs) m_pHead->addValue(pair.first, pair.second);
    for (size_t i = 0; i < m_entryPairs.size(); ++i) {
        m_pEntries->addSection(static_cast<int>(i), m_entryPairs[i], m_pHead);
    }
    return true;
}

bool ResponseParserInfFile::parseLine(int, const CString& line) {
    if (line.IsEmpty()) return true;
    if (line[0] == L'#') return true;
    if (line[0] == L'[' && line.Find(L']', 1) > 0) {
        ++m_nSection;
        m_bSectionHasEntry = false;
        return true;
    }

    m_key.Empty();
    m_value.Empty();
    common_util::split(line, L"=", [this](int index, const CString& piece) { return parseKeyValue(index, piece); });
    m_key.Trim();
    m_value.Trim();
    if (m_key.IsEmpty() || m_nSection == 0) return true;

    if (m_nSection == 1) {
        m_headPairs.emplace_back(m_key, m_value);
        return true;
    }
    // Entries are numbered by the sections that hold pairs, so an empty
    // section leaves no hole that would end the walk over the entries.
    if (!m_bSectionHasEntry) {
        m_entryPairs.emplace_back();
        m_bSectionHasEntry = true;
    }
    m_entryPairs.back().emplace_back(m_key, m_value);
    return true;
}

bool ResponseParserInfFile::parseKeyValue(int index, const CString& piece) {
    if (index == 0) m_key = piece;
    else if (index == 1) m_value = piece;
    return true;
}
