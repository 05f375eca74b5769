#pragma once
// The update page's report and upload rules that need no window: the parts
// of a service address and its rebuilt form, the reading of the
// download-check reply, and the plain texts of the download-check request.
#include "afx/string.h"

#include <string>

namespace update_report {

struct url_parts {
    std::string scheme;  // "https", "http" or empty
    std::string host;
    int port = 0;        // 0 when absent or not a number
    std::string path;    // from its "/", without query and fragment
    std::string query;   // without "?"
};

// Blanks, tabs and line ends around the address are ignored; the fragment
// is dropped.
void splitUrl(const std::string& url, url_parts& parts);
// scheme "://" host [":" port] [path] ["?" query]; an address without a
// scheme begins with "://".
std::string rebuildUrl(const url_parts& parts);

// The reply's field 1 ("#!#" separated) holds the code and the message
// ("|*|" separated). A reply without them gives an empty code text and 0.
struct down_check_reply {
    CString codeText;
    int code = 0;
    CString message;
};
down_check_reply parseDownCheckReply(const CString& reply);

// "major.minor.servicepack", each number 0 when the version is unknown.
CString systemVersionText(bool known, int major, int minor, int servicePack);
CString localTimeText(const SYSTEMTIME& time);

}  // namespace update_report
