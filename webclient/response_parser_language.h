#pragma once
// Reader of the "/api/GetLanguage" reply: the result code, then per region
// "|*|", the region code and "$" before each of its language codes.
#include "descriptors/response_parser.h"

#include <map>
#include <vector>

struct LanguageCodeTable {
    // Region code to its language codes in reply order; the first record of
    // a region wins.
    std::map<CString, std::vector<CString>> languages;
    // Region codes in reply order, a repeated region listed again.
    std::vector<CString> regions;
};

class ResponseParserLanguage : public ResponseParser {
public:
    ResponseParserLanguage(int resultCode, int format, LanguageCodeTable* table)
        : ResponseParser(resultCode, format), m_pTable(table) {}

    // Format 2 only. 1 when some region record carried a language: the code
    // is set and the caller's table replaced. 0 otherwise, code and table
    // untouched (the code becomes -1 for an empty reply).
    int parse(CString text) override;

private:
    LanguageCodeTable* m_pTable;
};
