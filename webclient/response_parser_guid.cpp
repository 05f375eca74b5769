#include "webclient/response_parser_guid.h"
#include "webclient/reply_text.h"

int ResponseParserGUID::parse(CString text) {
    text = removeReplyLineEnds(text);
    if (text.IsEmpty()) {
        m_nResultCode = -1;
        return 0;
    }
    bool found = false;
    int code = 0;
    CString guid;
    for (const CString& field : splitReply(text, L"#!#")) {
        if (field.IsEmpty()) continue;
        std::vector<CString> pieces = splitReply(field, L"|");
        code = replyNumber(pieces[0]);
        if (pieces.size() > 1) {
            guid = pieces[1];
            found = true;
        }
    }
    if (!found) return 0;
    m_nResultCode = code;
    if (m_pGuid) *m_pGuid = guid;
    return 1;
}
