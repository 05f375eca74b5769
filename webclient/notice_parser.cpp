#include "webclient/notice_parser.h"
#include "afx/file.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/utilmanager.h"
#include "webclient/webpost_reply.h"

#include <tinyxml.h>
#include <urlmon.h>
#include <wininet.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

enum NoticeState { NOTICE_SHOWN = 0, NOTICE_NONE = 1, NOTICE_UNUSABLE = 2, NOTICE_REFUSED = 3 };


// An element's text as UTF-8; false (out untouched) for bytes that are not
// UTF-8. No text reads as empty.
bool utf8Text(const TiXmlElement* element, CString& out) {
    const char* text = element->GetText();
    if (!text || !*text) {
        out.Empty();
        return true;
    }
    return TryUtf8ToWide(text, -1, out);
}

// A field taken from an element that exists; kept when its text is no UTF-8.
void takeText(const TiXmlElement* element, CString& field) {
    CString text;
    if (element && utf8Text(element, text)) field = text;
}

struct FileCloser {
    void operator()(FILE* f) const { fclose(f); }
};

// The downloaded file without its line breaks (CR LF and LF), rewritten in
// place: the reader sees a title that the service wrapped as one line.
bool joinLines(const CString& target) {
    std::string bytes;
    {
        CFile in;
        CFileException error;
        if (!in.Open(target.GetString(), CFile::modeReadWrite | CFile::shareDenyWrite, &error)) {
            LOG_WRITE(L"[DEBUG][File Open Error][%s][ErrCode:%d)]", target.GetString(),
                      static_cast<int>(error.m_lOsError));
            return false;
        }
        try {
            bytes.resize(static_cast<size_t>(in.GetLength()));
            if (!bytes.empty()) bytes.resize(in.Read(&bytes[0], static_cast<UINT>(bytes.size())));
        } catch (CException* e) {
            e->Delete();
            LOG_WRITE(L"[DEBUG][File Read Error][%s]", target.GetString());
            return false;
        }
    }
    std::string joined;
    joined.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') continue;
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        joined += bytes[i];
    }
    CFile out;
    CFileException error;
    if (!out.Open(target.GetString(), CFile::modeCreate | CFile::modeWrite, &error)) {
        LOG_WRITE(L"[DEBUG][File Open Error][%s][ErrCode:%d)]", target.GetString(), static_cast<int>(error.m_lOsError));
        return false;
    }
    try {
        if (!joined.empty()) out.Write(joined.data(), static_cast<UINT>(joined.size()));
        out.Close();
    } catch (CException* e) {
        e->Delete();
        LOG_WRITE(L"[DEBUG][File Write Error][%s]", target.GetString());
        return false;
    }
    return true;
}

}  // namespace

CString CNoticeParser::noticeFolder() {
    const CString appData = CGlobalFunc::getAppDataPath();
    if (appData.IsEmpty()) return CString();
    return appData + L"\\" + L"Kestrune" + L"\\Notice\\";
}

void CNoticeParser::readNotice(const CString& host, const CString& path, int port, HANDLE stop) {
    const CString folder = noticeFolder();
    if (folder.IsEmpty() || !CGlobalFunc::createDirectory(folder)) {
        LOG_WRITE(L"[ERR_5_NOTICE][Notice folder unavailable][%s]", folder.GetString());
        m_result.nStatus = NOTICE_UNUSABLE;
        return;
    }
    SetFileAttributesW(folder.GetString(), FILE_ATTRIBUTE_HIDDEN);

    const CString target = folder + L"notice.xml";
    CString url;
    url.Format(L"%s:%d%s", host.GetString(), port, path.GetString());

    const DWORD attributes = GetFileAttributesW(target.GetString());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesW(target.GetString(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    DeleteFileW(target.GetString());
    DeleteUrlCacheEntryW(url.GetString());

    const HRESULT downloaded = m_download.run(url, target, stop);
    const DWORD lastError = GetLastError();
    // Some URL monikers (Wine's among them) report success for a connection
    // that brought nothing; an empty file is no notice either, and one past
    // the reply cap is none that the service writes (it would only be read
    // into memory whole).
    const ULONGLONG size = CUtilManager::getFileSize(target);
    if (FAILED(downloaded) || size == 0 || size == ULLONG_MAX || size > kReplyCapBytes) {
        const DWORD error = FAILED(downloaded) ? lastError : static_cast<DWORD>(ERROR_NO_DATA);
        CString record;
        record.Format(L"[E:%d,T:%s,FP:%s]", STAT_STAGE_VEHICLE_CHOICE, CGlobalFunc::getTimeStamp().GetString(),
                      url.GetString());
        g_logManager.AddStatistics(record);
        LOG_WRITE(L"[ERR_5_NOTICE][Can't download Notice XML][URL:%s][ErrCode:%d]", url.GetString(),
                  static_cast<int>(error));
        m_result.nStatus = NOTICE_UNUSABLE;
        return;
    }
    // A file that cannot be rewritten was not read: the record must not keep
    // claiming an earlier notice (or "no notice") for it.
    if (!joinLines(target)) {
        m_result.nStatus = NOTICE_UNUSABLE;
        return;
    }
    parseNotice(target);
}

void CNoticeParser::parseNotice(const CString& path) {
    std::unique_ptr<FILE, FileCloser> file(_wfopen(path.GetString(), L"rb"));
    TiXmlDocument document;
    // The service writes UTF-8; reading it as such keeps character
    // references in the same encoding as the raw text.
    if (!file || !document.LoadFile(file.get(), TIXML_ENCODING_UTF8)) {
        m_result.nStatus = NOTICE_UNUSABLE;
        return;
    }
    const TiXmlElement* root = document.RootElement();
    const TiXmlElement* resultYn = root ? root->FirstChildElement("resultYn") : nullptr;
    const TiXmlText* answer = resultYn && resultYn->FirstChild() ? resultYn->FirstChild()->ToText() : nullptr;
    if (!answer) {
        m_result.nStatus = NOTICE_UNUSABLE;
        return;
    }
    const TiXmlElement* message = root->FirstChildElement("exMessage");
    if (strcmp(answer->Value(), "Y") != 0) {
        takeText(message, m_result.strTitle);
        m_result.nStatus = message ? NOTICE_REFUSED : NOTICE_UNUSABLE;
        return;
    }
    if (!root->FirstChildElement("exCode")) {
        takeText(message, m_result.strTitle);
        m_result.nStatus = message ? NOTICE_NONE : NOTICE_UNUSABLE;
        return;
    }
    const TiXmlElement* item = root->FirstChildElement("item");
    if (item) {
        CString date;
        const TiXmlElement* pubDate = item->FirstChildElement("pubDate");
        if (pubDate && utf8Text(pubDate, date)) m_result.strPubDate = L"[" + date + L"]";
        const TiXmlElement* title = item->FirstChildElement("title");
        if (title && title->GetText()) takeText(title, m_result.strTitle);
        takeText(item->FirstChildElement("dtlUrl"), m_result.strDtlURL);
        takeText(item->FirstChildElement("ltUrl"), m_result.strMoreURL);
    }
    m_result.nStatus = NOTICE_SHOWN;
}

stNoticeResult& CNoticeParser::getResult(stNoticeResult& result) const {
    result = m_result;
    return result;
}
