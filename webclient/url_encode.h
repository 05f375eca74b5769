#pragma once
// Percent-encoding of byte text (normally UTF-8). The strict set keeps only
// letters, digits, "-", "." and "_" (query values, upload file names); the
// lenient set also keeps "/", ":", "&", "(", ")", "=" and "?" (hosts, paths,
// whole addresses). Every other byte becomes "%" and two upper-case hex
// digits, one group per byte of a multi-byte character.
#include "afx/string.h"

CString urlEncode(const char* bytes, bool strict);

