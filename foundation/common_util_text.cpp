#include "foundation/common_util.h"

#include <vector>

namespace {

bool equalsAsciiNoCase(const CString& a, const CString& b) {
    if (a.GetLength() != b.GetLength()) return false;
    for (int i = 0; i < a.GetLength(); ++i) {
        wchar_t x = a[i], y = b[i];
        if (x >= L'A' && x <= L'Z') x = static_cast<wchar_t>(x - L'A' + L'a');
        if (y >= L'A' && y <= L'Z') y = static_cast<wchar_t>(y - L'A' + L'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

namespace common_util {

bool next_token(CString& token, const CString& text, int& position, const CString& separator) {
    if (text.IsEmpty() || position == -1) return false;
    if (position >= 0 && position <= text.GetLength() && !separator.IsEmpty()) {
        int found = text.Find(separator.GetString(), position);
        if (found >= 0) {
            token = text.Mid(position, found - position);
            position = found + separator.GetLength();
            return true;
        }
    }
    token = position >= 0 && position < text.GetLength() ? text.Mid(position) : CString();
    position = -1;
    return true;
}

bool split(const CString& text, const CString& separator, const split_callback& callback) {
    if (text.IsEmpty()) return callback(0, CString());
    bool result = false;
    int position = 0;
    CString token;
    for (int index = 0; next_token(token, text, position, separator); ++index) {
        result = callback(index, token);
        if (!result) break;
    }
    return result;
}

CString find_value(const key_value_list& pairs, const CString& key) {
    CString value;
    for (const auto& pair : pairs) {
        if (equalsAsciiNoCase(pair.first, key)) value = pair.second;
    }
    return value;
}

CString expand_variables(const key_value_list& pairs, const CString& text, int mode) {
    CString trimmed = text;
    trimmed.Trim();
    if (trimmed.Find(L'$') < 0) return trimmed;

    std::vector<CString> pieces;
    int start = 0;
    for (;;) {
        int dollar = trimmed.Find(L'$', start);
        if (dollar < 0) {
            pieces.push_back(trimmed.Mid(start));
            break;
        }
        pieces.push_back(trimmed.Mid(start, dollar - start));
        start = dollar + 1;
    }

    CString result;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const CString& piece = pieces[i];
        if (piece.IsEmpty()) {
            if (i == 0) continue;
            break;
        }
        auto match = pairs.end();
        for (auto it = pairs.begin(); it != pairs.end(); ++it) {
            if (it->first == piece) {
                match = it;
                break;
            }
        }
        if (match == pairs.end()) result += piece;
        else if (mode == 1) result += match->second;
    }
    return result;
}

CString extract_number(const CString& text) {
    if (text.IsEmpty()) return L"0";
    CString digits;
    for (int i = 0; i < text.GetLength(); ++i) {
        wchar_t c = text[i];
        if ((c >= L'0' && c <= L'9') || c == L'-') digits += c;
    }
    return digits;
}

}  // namespace common_util
