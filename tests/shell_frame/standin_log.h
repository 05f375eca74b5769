#pragma once
// The request log of the test's stand-in instance (requests.jsonl): complete
// lines only, counted by endpoint.
#include "afx/afx.h"
#include "tests/support/test_support.h"

#include <sstream>
#include <string>
#include <vector>

namespace standin_log {

inline CString folder() {
    wchar_t buffer[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableW(L"KESTRUNE_STANDIN_WIN", buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return CString();
    CString f(buffer);
    if (f.Right(1) != L"\\") f += L"\\";
    return f;
}

inline std::vector<std::string> lines() {
    std::vector<std::string> out;
    if (folder().IsEmpty()) return out;
    std::istringstream in(readBytes(folder() + L"requests.jsonl"));
    std::string line;
    while (std::getline(in, line)) {
        if (in.eof()) break;  // still being written
        out.push_back(line);
    }
    return out;
}

// Lines of an endpoint ("GetGUID", "SetDownErrorLog", ...) from index `from`.
inline std::vector<std::string> of(const char* endpoint, size_t from = 0) {
    std::vector<std::string> all = lines(), found;
    const std::string key = std::string("\"endpoint\": \"") + endpoint + "\"";
    for (size_t i = from; i < all.size(); ++i) {
        if (all[i].find(key) != std::string::npos) found.push_back(all[i]);
    }
    return found;
}

}  // namespace standin_log
