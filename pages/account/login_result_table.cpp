#include "pages/account/login_result_table.h"

#include "foundation/private_messages.h"
#include "shell/message_types.h"

namespace {

const LoginResultRow kRows[] = {
    {400, SERVER_ERROR_LOGIN_AUTHORITY, LoginServerText::None, L"[ERR_4_LOGIN][Invalid Login Info][ID:%s]",
     LoginRecordShape::Id},
    {401, SERVER_ERROR_LOGIN_INCORRECT_ID_PASSWORD, LoginServerText::None,
     L"[ERR_4_LOGIN][Incorrect username or password][ID:%s]", LoginRecordShape::Id},
    {402, SERVER_ERROR_LOGIN_PASSWORD_LIMIT, LoginServerText::None, L"[ERR_4_LOGIN][Password Error(5/5)][ID:%s]",
     LoginRecordShape::Id},
    {403, SERVER_ERROR_LOGIN_DEALER_PASSWORD_INIT, LoginServerText::Third,
     L"[ERR_4_LOGIN][Need Init for Dealer Password][ID:%s]", LoginRecordShape::Id},
    {405, SERVER_ERROR_LOGIN_PASSWORD_EXPIRED, LoginServerText::Third,
     L"[ERR_4_LOGIN][Your password has expired][ID:%s]", LoginRecordShape::Id},
    {406, SERVER_ERROR_LOGIN_FAILED_EXCEEDED_COUNT, LoginServerText::Third,
     L"[ERR_4_LOGIN][Login Failed and exceeded count][ID:%s]", LoginRecordShape::Id},
    {407, SERVER_ERROR_LOGIN_PASSWORD_NEEDS_REST, LoginServerText::Third,
     L"[ERR_4_LOGIN][Your password needs to be reset. Please log in to your owners using your temporary "
     L"password][ID:%s]",
     LoginRecordShape::Id},
    {408, SERVER_ERROR_LOGIN_ACCESS_DENIED, LoginServerText::Third, L"[ERR_4_LOGIN][Access Denied][ID:%s]",
     LoginRecordShape::Id},
    {409, SERVER_ERROR_LOGIN_TEMPORARY_PASSWORD_EXPIRED, LoginServerText::Third,
     L"[ERR_4_LOGIN][Your temporary password has expired. Please reset your password again][ID:%s]",
     LoginRecordShape::Id},
    {423, SERVER_ERROR_LOGIN_INVALID_LOGIN_ATTEMPTS, LoginServerText::Third,
     L"[ERR_4_LOGIN][Your account has been locked because of invalid login attempts. Please wait 10 minutes "
     L"before trying to login again.][ID:%s]",
     LoginRecordShape::Id},
    {430, SERVER_ERROR_LOGIN_DIFFERENT_TOKEN_ID, LoginServerText::Third,
     L"[ERR_4_LOGIN][Token client ID is different than request client ID][ID:%s]", LoginRecordShape::Id},
    {500, SERVER_ERROR_LOGIN_INPUT_INFO, LoginServerText::None, L"[ERR_4_LOGIN][Input information error][ID:%s]",
     LoginRecordShape::Id},
    {700, SERVER_ERROR_UPDATE_CHECK_INF_LIMIT, LoginServerText::None, L"[ERR_4_LOGIN][Prepare periodical Update]",
     LoginRecordShape::IdGuid},
    {900, SERVER_ERROR_LOGIN_SYSTEM, LoginServerText::Third, L"[ERR_4_LOGIN][Unknown Error]",
     LoginRecordShape::IdGuid},
    {901, SERVER_ERROR_LOGIN_UNKNOWN_SERVER, LoginServerText::Third, L"[ERR_4_LOGIN][Unknown Error]",
     LoginRecordShape::IdGuid},
    {903, SERVER_ERROR_LOGIN_NO_AUTHORITY_903, LoginServerText::Third, L"[ERR_4_LOGIN][Don't Have Athority][ID:%s]",
     LoginRecordShape::Id},
    {904, SERVER_ERROR_LOGIN_NO_AUTHORITY_904, LoginServerText::First, L"[ERR_4_LOGIN][Don't Have Athority][ID:%s]",
     LoginRecordShape::Id},
    {0, SERVER_ERROR_NETWORK_FAIL, LoginServerText::None, L"[ERR_2_LOGIN][NetworkError]", LoginRecordShape::Network},
};

}  // namespace

const LoginResultRow* loginResultRows(size_t& count) {
    count = sizeof(kRows) / sizeof(kRows[0]);
    return kRows;
}

const LoginResultRow& loginResultRow(int serverCode) {
    size_t count = 0;
    const LoginResultRow* rows = loginResultRows(count);
    for (size_t i = 0; i + 1 < count; ++i) {
        if (rows[i].serverCode == serverCode) return rows[i];
    }
    return rows[count - 1];
}

CString formatLoginRecord(const LoginResultRow& row, int serverCode, const CString& timeStamp,
                          const CString& userType, const CString& storedId, const CString& guid) {
    CString record;
    switch (row.record) {
        case LoginRecordShape::Id:
            record.Format(L"[E:%d,T:%s,LT:%s,ID:%s,ED:%d]", STAT_STAGE_LOGIN_RESULT, timeStamp.GetString(),
                          userType.GetString(), storedId.GetString(), serverCode);
            break;
        case LoginRecordShape::IdGuid:
            record.Format(L"[E:%d,T:%s,LT:%s,ID:%s,GUID:%s,ED:%d]", STAT_STAGE_LOGIN_RESULT, timeStamp.GetString(),
                          userType.GetString(), storedId.GetString(), guid.GetString(), serverCode);
            break;
        case LoginRecordShape::Network:
            record.Format(L"[E:%d,T:%s,PS:0,ED:1000]", STAT_STAGE_NETWORK, timeStamp.GetString());
            break;
    }
    return record;
}

CString formatLoginLogLine(const LoginResultRow& row, const CString& storedId) {
    CString line;
    line.Format(row.logLine, storedId.GetString());
    return line;
}
