// Text conversion and the number, size and time texts shown to the user.
#include "foundation/globalfunc.h"

#include <cmath>
#include <cstdlib>

char* CGlobalFunc::wideToUtf8(const wchar_t* text) {
    if (!text) return nullptr;
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return nullptr;
    char* bytes = static_cast<char*>(malloc(static_cast<size_t>(size)));
    if (!bytes) return nullptr;
    if (WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, size, nullptr, nullptr) <= 0) {
        free(bytes);
        return nullptr;
    }
    return bytes;
}

CString CGlobalFunc::formatNumber(double number) {
    // Rounded here, half away from zero as the platform rounds, so that the
    // platform only groups: with no leading zero it would show 0 as nothing.
    double whole = std::round(number);
    if (whole == 0) whole = 0;  // no "-0"
    CString plain;
    plain.Format(L"%.0f", whole);
    // A fixed format, whatever the user's regional settings say.
    NUMBERFMTW format{};
    format.NumDigits = 0;
    format.LeadingZero = 0;
    format.Grouping = 3;
    format.lpDecimalSep = const_cast<LPWSTR>(L".");
    format.lpThousandSep = const_cast<LPWSTR>(L",");
    format.NegativeOrder = 1;
    wchar_t text[100] = {};
    if (GetNumberFormatW(LOCALE_USER_DEFAULT, 0, plain.GetString(), &format, text, 100) > 0 &&
        wcspbrk(text, L"0123456789"))
        return text;
    // Zero, or too many digits for the buffer.
    return plain;
}

CString CGlobalFunc::formatSize(UINT kilobytes, const CString& stopUnit) {
    double x = kilobytes;
    CString unit;
    while (x > 1024) {
        if (unit == L"T") break;
        if (unit.IsEmpty()) unit = L"M";
        else if (unit == L"M") unit = L"G";
        else unit = L"T";
        x /= 1024;
        if (unit == stopUnit) break;
    }
    if (unit.IsEmpty()) unit = L"K";
    if (!(x > 0)) return L"0";
    CString text;
    if (unit == L"K") text.Format(L"%d %sB", static_cast<int>(x), unit.GetString());
    else text.Format(L"%0.1f %sB", x, unit.GetString());
    return text;
}

CString CGlobalFunc::getTimeStamp() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    CString text;
    text.Format(L"%02d:%02d:%02d.%03d", now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    return text;
}
