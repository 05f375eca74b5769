#include "webclient/response_parser_language.h"
#include "webclient/reply_text.h"

int ResponseParserLanguage::parse(CString text) {
    if (m_nFormat != 2) return 0;
    text = removeReplyLineEnds(text);
    if (text.IsEmpty()) {
        m_nResultCode = -1;
        return 0;
    }
    LanguageCodeTable working;
    bool found = false;
    int code = 0;
    for (const CString& field : splitReply(text, L"#!#")) {
        if (field.IsEmpty()) continue;
        std::vector<CString> pieces = splitReply(field, L"|*|");
        code = replyNumber(pieces[0]);
        for (size_t i = 1; i < pieces.size(); ++i) {
            std::vector<CString> record = splitReply(pieces[i], L"$");
            std::vector<CString> languages(record.begin() + 1, record.end());
            if (!languages.empty()) found = true;
            working.languages.emplace(record[0], std::move(languages));
            working.regions.push_back(record[0]);
        }
    }
    if (!found) return 0;
    m_nResultCode = code;
    if (m_pTable) *m_pTable = std::move(working);
    return 1;
}
