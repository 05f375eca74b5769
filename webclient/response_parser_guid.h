#pragma once
// Reader of the "/api/GetGUID" reply: the result code, "|" and the client
// GUID, possibly repeated in several "#!#" fields (a later one wins).
#include "descriptors/response_parser.h"

class ResponseParserGUID : public ResponseParser {
public:
    ResponseParserGUID(int resultCode, int format, CString* guid) : ResponseParser(resultCode, format), m_pGuid(guid) {}

    // 1 with the code and the GUID written when a field carried a GUID; 0
    // otherwise, the code untouched (-1 for an empty reply).
    int parse(CString text) override;

private:
    CString* m_pGuid;
};
