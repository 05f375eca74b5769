#pragma once
// The web service's notice for the current region, brand and language:
// "notice.xml" downloaded into a hidden folder of the user's application
// data and read into one record, which the pages' notice bars show.
#include "afx/string.h"
#include "webclient/url_download.h"

struct stNoticeResult {
    // 0 a notice was read; 1 the service has no notice (its message in
    // strTitle), also before anything was read; 2 nothing usable (download or
    // file failed); 3 the service refused (its message in strTitle).
    int nStatus = 1;
    CString strPubDate;  // "[" + date + "]"
    CString strTitle;
    CString strDtlURL;   // the notice's detail page
    CString strMoreURL;  // the notice list, opened by the bar's More button
};

class CNoticeParser {
public:
    // Downloads host (with its scheme), port and path ("%s:%d%s") into the
    // notice folder and reads it; the outcome is the record's state. Once
    // stop (may be null) is set the download ends, unusable.
    void readNotice(const CString& host, const CString& path, int port, HANDLE stop = nullptr);
    // Any thread, after setting the stop event that readNotice was given:
    // breaks off a download that waits for a slow server.
    void abortDownload() { m_download.abort(); }
    // Reads a notice file into the record. An element that is missing leaves
    // its field as it was; every text is UTF-8.
    void parseNotice(const CString& path);
    // Copies the record into result and returns it.
    stNoticeResult& getResult(stNoticeResult& result) const;

    // "<application data>\Kestrune\Notice\"; empty when the platform names
    // no application-data folder.
    static CString noticeFolder();

private:
    stNoticeResult m_result;
    CUrlDownload m_download;
};
