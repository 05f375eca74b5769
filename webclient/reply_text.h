#pragma once
// Reading rules shared by the readers of the web service's text replies:
// fields separated by "#!#", lists inside a field by "|*|", sub-fields by
// "$", "@" and "|".
#include "afx/string.h"

#include <vector>

// The reply without its line ends: every "\r\n", then every "\n" (a lone
// "\r" stays). A field may be spread over several lines.
CString removeReplyLineEnds(CString text);

// Every token between separators, empty ones and the one after the last
// separator included; an empty text gives one empty token.
std::vector<CString> splitReply(const CString& text, const wchar_t* separator);

// The token at index, empty when there is none.
CString replyToken(const std::vector<CString>& tokens, size_t index);

// A number of the reply: only digits and "-" are kept, then the text is
// read as a decimal from its start; no digits give 0.
int replyNumber(const CString& token);
