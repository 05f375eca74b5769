#pragma once
// The report of the two vehicle-data consent answers in region KR
// ("/api/chkPrivate"), sent on a short-lived worker thread. The UI thread
// captures every value the report needs, so the worker reads nothing that
// the UI thread may be assigning meanwhile.
#include "afx/afx.h"
#include "webclient/request_param.h"

struct UserPrivateReport {
    CString userId;    // the login page's user ID
    CString corpCode;  // "TS", "LV", "DR", else empty
    int region = -1;
    CString guid;
    BOOL consent1 = FALSE;
    BOOL consent2 = FALSE;

    // The stored region, GUID and answers with the given user and brand.
    static UserPrivateReport capture(const CString& userId, const CString& corpCode);
};

// The eight values, each through the request cipher; now gives value 8.
RequestParamUserPrivate makeUserPrivateParam(const UserPrivateReport& report, const SYSTEMTIME& now);

// Sends the report (region KR only) and sets "SEND_VCRM_DESC0" when the
// reply's code is 200. Returns that code, 0 when none was read or nothing
// was sent. Concurrent reports are harmless: they all store the same value.
int requestUserPrivate(const UserPrivateReport& report);

// Thread procedure; param is a UserPrivateReport made with new, which the
// thread deletes. Returns 1.
UINT UserPrivateThread(LPVOID param);

// Starts UserPrivateThread with a copy of the report, below normal priority,
// when the report's region is KR. TRUE when a thread was started.
BOOL startUserPrivateThread(const UserPrivateReport& report);
