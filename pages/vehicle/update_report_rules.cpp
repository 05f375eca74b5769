#include "pages/vehicle/update_report_rules.h"

#include <cstdlib>

namespace update_report {

namespace {

std::string trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    const size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

int decimal(const std::string& text) {
    if (text.empty()) return 0;
    char* end = nullptr;
    // long is 32 bits here: strtol would clamp a too large code to a valid one.
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (end == text.c_str() || value < 0 || value > 0x7FFFFFFFLL) return 0;
    return static_cast<int>(value);
}

// Field index of text split at separator; empty past the last field.
CString field(const CString& text, const wchar_t* separator, int index) {
    int start = 0;
    const int length = static_cast<int>(wcslen(separator));
    for (int i = 0; i < index; ++i) {
        const int next = text.Find(separator, start);
        if (next < 0) return CString();
        start = next + length;
    }
    const int end = text.Find(separator, start);
    return end < 0 ? text.Mid(start) : text.Mid(start, end - start);
}

}  // namespace

void splitUrl(const std::string& url, url_parts& parts) {
    parts = url_parts{};
    const std::string text = trimmed(url);
    size_t schemeLength = 0;
    if (text.compare(0, 8, "https://") == 0) schemeLength = 8;
    else if (text.compare(0, 7, "http://") == 0) schemeLength = 7;
    const size_t slash = text.find('/', schemeLength + 1);
    std::string hostPart;
    std::string path;
    if (slash != std::string::npos && text.size() > schemeLength) {
        hostPart = text.substr(schemeLength, slash - schemeLength);
        path = text.substr(slash);
    } else {
        hostPart = text.size() > schemeLength ? text.substr(schemeLength) : std::string();
    }
    const size_t hash = path.find('#');
    if (hash != std::string::npos) path.erase(hash);
    const size_t colon = hostPart.find(':');
    if (colon != std::string::npos) {
        parts.port = decimal(hostPart.substr(colon + 1));
        parts.host = hostPart.substr(0, colon);
    } else {
        parts.host = hostPart;
    }
    if (schemeLength) parts.scheme = text.substr(0, schemeLength - 3);
    const size_t question = path.find('?');
    if (question != std::string::npos) {
        parts.query = path.substr(question + 1);
        path.erase(question);
    }
    parts.path = path;
}

std::string rebuildUrl(const url_parts& parts) {
    std::string url = parts.scheme + "://" + parts.host;
    if (parts.port >= 1) url += ":" + std::to_string(parts.port);
    if (!parts.path.empty()) {
        if (parts.path[0] != '/') url += "/";
        url += parts.path;
    }
    if (!parts.query.empty()) url += "?" + parts.query;
    return url;
}

down_check_reply parseDownCheckReply(const CString& reply) {
    down_check_reply result;
    const CString second = field(reply, L"#!#", 1);
    result.codeText = field(second, L"|*|", 0);
    result.message = field(second, L"|*|", 1);
    result.code = decimal(std::string(CW2A(result.codeText.GetString(), CP_UTF8)));
    return result;
}

CString systemVersionText(bool known, int major, int minor, int servicePack) {
    CString text;
    if (!known) major = minor = servicePack = 0;
    text.Format(L"%d.%d.%d", major, minor, servicePack);
    return text;
}

CString localTimeText(const SYSTEMTIME& t) {
    CString text;
    text.Format(L"%04d%02d%02d%02d%02d%02d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    return text;
}

}  // namespace update_report
