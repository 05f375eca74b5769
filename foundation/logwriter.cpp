#include "foundation/logwriter.h"

CString LogWriter::dayFileName(const CString& path, const SYSTEMTIME& d) {
    CString name;
    int dot = path.ReverseFind(L'.');
    if (dot >= 1) {
        name.Format(L"%s_%04d%02d%02d%s", path.Left(dot).GetString(), d.wYear, d.wMonth, d.wDay,
                    path.Mid(dot).GetString());
    } else {
        name.Format(L"%s_%04d%02d%02d", path.GetString(), d.wYear, d.wMonth, d.wDay);
    }
    return name;
}

void LogWriter::write(const CString& message, const CString& function, int line) {
    CSingleLock lock(&m_lock, TRUE);
    SYSTEMTIME now;
    GetLocalTime(&now);
    CString prefix;
    prefix.Format(L"[%04d-%02d-%02d %02d:%02d:%02d.%03d][%lu][%s:%d]", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond, now.wMilliseconds, GetCurrentProcessId(), function.GetString(), line);
    append(now, prefix, message);
}

void LogWriter::writeNoLocation(const CString& message) {
    CSingleLock lock(&m_lock, TRUE);
    SYSTEMTIME now;
    GetLocalTime(&now);
    CString prefix;
    prefix.Format(L"[%04d-%02d-%02d %02d:%02d:%02d.%03d][%lu]", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond, now.wMilliseconds, GetCurrentProcessId());
    append(now, prefix, message);
}

void LogWriter::append(const SYSTEMTIME& now, const CString& prefix, const CString& message) {
    CString file = dayFileName(m_path, now);
    UniqueFileHandle h(CreateFileW(file.GetString(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return;  // the line is lost; the next one tries again

    CStringA text = WideToMultiByte(prefix.GetString(), CP_UTF8);
    text += ' ';
    text += WideToMultiByte(message.GetString(), CP_UTF8);
    // The file is a text file: every line feed becomes CR LF.
    text.Replace("\n", "\r\n");
    DWORD written = 0;
    WriteFile(h.get(), text.GetString(), static_cast<DWORD>(text.GetLength()), &written, nullptr);
}
