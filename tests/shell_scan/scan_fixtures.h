#pragma once
// Vehicle entries with descriptors read from text and media written as
// folders, for the matching and scan tests.
#include "descriptors/inf_info.h"

#include <string>

// An entry whose descriptor (one file, "MAP\<file>" of size bytes) was read
// from text, as if downloaded.
struct EntryDef {
    const wchar_t* inf;    // "TS_A01_COMMON.inf"
    const wchar_t* brand;  // "TS"
    const wchar_t* model;  // "A01"
    const wchar_t* sw;     // pattern
    const wchar_t* device = L"";
    int modelFlag = 0;
};
InfInfo* makeEntry(const EntryDef& def);

// An owning list of the entries, with the account's brand and user.
InfInfoList* makeList(std::initializer_list<EntryDef> defs, int corp = 0, const wchar_t* userId = L"ts.member");

// Writes text as UTF-8 (or UTF-16 LE with a byte-order mark) to path,
// creating its folders.
void writeText(const CString& path, const CString& text, bool utf16 = false);
std::string utf8(const CString& text);
