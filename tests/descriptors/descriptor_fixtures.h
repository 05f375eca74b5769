#pragma once
// Shared pieces of the descriptor tests: descriptor texts and vehicle
// entries read from them without a download.
#include "descriptors/inf_info.h"

#include <initializer_list>
#include <memory>
#include <ostream>

// Failure messages show the text, as UTF-8.
inline void PrintTo(const CString& text, std::ostream* os) {
    *os << '"' << WideToMultiByte(text.GetString(), CP_UTF8).GetString() << '"';
}

// The lines joined with CR LF, as the content hosts write descriptors.
CString crlf(std::initializer_list<const wchar_t*> lines);

// A vehicle entry whose descriptor was read from text, as if downloaded.
std::unique_ptr<InfInfo> entryFromText(const CString& infFileName, const CString& text, int modelFlag = 0,
                                       InfInfo* firstDescriptor = nullptr);

// A descriptor head section with the usual keys, for entries below it.
CString standardHead(const wchar_t* version = L"2024.05.01");
