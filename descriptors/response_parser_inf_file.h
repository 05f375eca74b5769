#pragma once
// Reader of an INF descriptor's text into its head and entries.
//
// The text is INI-like: lines end in CR LF; "#" first on a line makes a
// comment; "[" first with a "]" after it starts the next section (names
// carry no meaning); the first section is the head, every later section
// that holds a pair one entry. A pair line is key "=" value, where only the
// text between the first and a second "=" is the value.
#include "descriptors/inf_file_tail.h"
#include "descriptors/response_parser.h"

#include <vector>

class ResponseParserInfFile : public ResponseParser {
public:
    ResponseParserInfFile(InfFileHead* head, InfFileTailMap* entries)
        : ResponseParser(-1, 0), m_pHead(head), m_pEntries(entries) {}

    int parse(CString text) override { return parseText(text) ? 1 : 0; }

    // FALSE for an empty text (head and entries untouched, result code -1).
    // Otherwise the head's pairs are replaced and one entry is added per
    // section that holds a pair.
    bool parseText(const CString& text);

private:
    bool parseLine(int index, const CString& line);
    bool parseKeyValue(int index, const CString& piece);

    InfFileHead* m_pHead;
    InfFileTailMap* m_pEntries;

    // Working state of one reading.
    int m_nSection = 0;
    bool m_bSectionHasEntry = false;
    common_util::key_value_list m_headPairs;
    std::vector<common_util::key_value_list> m_entryPairs;
    CString m_key;
    CString m_value;
};
