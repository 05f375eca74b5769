#pragma once
// Lets GoogleTest show texts of the class library in failure messages.
#include "afx/string.h"

#include <ostream>

inline void PrintTo(const CString& text, std::ostream* os) {
    *os << '"' << WideToMultiByte(text.GetString(), CP_UTF8).GetString() << '"';
}
inline void PrintTo(const CStringA& text, std::ostream* os) {
    *os << '"' << text.GetString() << '"';
}
