// Names of message types and view states for the log, and the time-zone
// abbreviation that the download-check report sends.
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/timezone_table.h"

namespace {

struct NamedCode {
    int code;
    const wchar_t* name;
};

// Only part of the program codes 1000 to 1037 have names; the message pages
// log the others without one.
const NamedCode kMessageTypeNames[] = {
    {10, L"SERVER_ERROR_USB_REMOVE_FAIL"},
    {20, L"SERVER_ERROR_NETWORK_FAIL"},
    {40, L"SERVER_ERROR_LOGIN_WRONG_IDPWD"},
    {41, L"SERVER_ERROR_LOGIN_INVALID_VIN"},
    {42, L"SERVER_ERROR_LOGIN_NOT_SUPPORT_UPDATE_VIN"},
    {43, L"SERVER_ERROR_LOGIN_AUTHORITY"},
    {47, L"SERVER_ERROR_LOGIN_SYSTEM"},
    {49, L"SERVER_ERROR_LOGIN_SERVER_UPDATE"},
    {50, L"SERVER_ERROR_LOGIN_UNKNOWN"},
    {60, L"SERVER_ERROR_USB_ZERO"},
    {61, L"SERVER_ERROR_USB_LOCK"},
    {62, L"SERVER_ERROR_USB_NTFS"},
    {63, L"SERVER_ERROR_USB_OVER"},
    {70, L"SERVER_ERROR_UPDATE_CHECK_BACKUP"},
    {71, L"SERVER_ERROR_UPDATE_CHECK_INF_LIMIT"},
    {72, L"SERVER_ERROR_UPDATE_CHECK_INF_DOWNLOAD_FAIL"},
    {74, L"SERVER_ERROR_UPDATE_CHECK_MEMORY_USB"},
    {75, L"SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_USB"},
    {76, L"SERVER_ERROR_UPDATE_CHECK_MEMORY_HDD"},
    {80, L"SERVER_ERROR_FORMAT_FAIL"},
    {81, L"SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_HDD"},
    {82, L"SERVER_ERROR_UPDATE_CHECK_SAVE_DRIVE_UPDATE_HDD"},
    {83, L"SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD"},
    {84, L"SERVER_ERROR_UPDATE_CHECK_LASTEST_VERSION_ENDUSER"},
    {85, L"SERVER_ERROR_UPDATE_CHECK_LASTEST_VERSION_DEALERPRE"},
    {90, L"SERVER_ERROR_DOWNLOAD_ZIP"},
    {91, L"SERVER_ERROR_DOWNLOAD_FILE_SIZE"},
    {92, L"SERVER_ERROR_DOWNLOAD_FILE_CRC"},
    {93, L"SERVER_ERROR_DOWNLOAD_FAIL"},
    {100, L"SERVER_ERROR_COPY_FAIL"},
    {101, L"SERVER_ERROR_COPY_NOT_FOUND_FILE"},
    {102, L"SERVER_ERROR_COPY_FILE_SIZE"},
    {130, L"SERVER_ERROR_LANGUAGE_FAIL"},
    {150, L"SERVER_ERROR_ETC_UPDATE_CANCEL"},
    {151, L"SERVER_ERROR_CHANGE_FOLDER_FAIL"},
    {152, L"SERVER_ERROR_CHANGE_FOLDER_READONLY"},
    {200, L"SERVER_ERROR_ETC_CHANGE_FOLDER"},
    {201, L"SERVER_ERROR_ETC_PROGRAM_EXIT"},
    {202, L"SERVER_ERROR_ETC_PROGRAM_EXIT_UPDATE"},
    {203, L"SERVER_ERROR_ETC_OPEN_SOURCE_LICENSE"},
    {204, L"SERVER_ERROR_ETC_EULA"},
    {206, L"SERVER_ERROR_UNKNOWN"},
    {999, L"SERVER_ERROR_NONE"},
    {1017, L"SERVER_FINISH_UPDATE_GUIDE"},
    {1029, L"SERVER_ERROR_LOGIN_INCORRECT_ID_PASSWORD"},
    {1030, L"SERVER_ERROR_LOGIN_PASSWORD_EXPIRED"},
    {1031, L"SERVER_ERROR_LOGIN_FAILED_EXCEEDED_COUNT"},
    {1032, L"SERVER_ERROR_LOGIN_PASSWORD_NEEDS_REST"},
    {1033, L"SERVER_ERROR_LOGIN_ACCESS_DENIED"},
    {1034, L"SERVER_ERROR_LOGIN_TEMPORARY_PASSWORD_EXPIRED"},
    {1035, L"SERVER_ERROR_LOGIN_INVALID_LOGIN_ATTEMPTS"},
    {1036, L"SERVER_ERROR_LOGIN_DIFFERENT_TOKEN_ID"},
    {1037, L"SERVER_ERROR_LOGIN_UNKOWN"},
};

const NamedCode kViewStateNames[] = {
    {-1, L"VIEW_STATE_ERROR"},
    {0, L"VIEW_STATE_LOGIN"},
    {90, L"VIEW_STATE_CONFIG"},
    {91, L"VIEW_STATE_MESSAGE"},
    {100, L"VIEW_STATE_NONE"},
    {101, L"VIEW_STATE_CAR_REG"},
    {102, L"VIEW_STATE_CAR_CHANGE"},
    {103, L"VIEW_STATE_CAR_UPDATE"},
    {104, L"VIEW_STATE_CAR_FINISH"},
    {105, L"VIEW_STATE_INFO_POPUP"},
    {106, L"VIEW_STATE_CAR_CONFIG"},
    {107, L"VIEW_STATE_JOIN_MSG"},
    {108, L"VIEW_STATE_HIDDEN"},
    {109, L"VIEW_STATE_HIDDEN_PWD"},
    {110, L"VIEW_STATE_EXIT"},
    {111, L"VIEW_STATE_PAGE_FOR_CONFIG"},
    {112, L"VIEW_STATE_INFO_IMAGE_POPUP"},
};

template <size_t N>
CString nameOf(const NamedCode (&table)[N], long long code) {
    for (const auto& row : table) {
        if (row.code == code) return row.name;
    }
    return CString();
}

bool isCapital(wchar_t c) {
    return c >= L'A' && c <= L'Z';
}

// Zones the table does not know get an abbreviation from their own name:
// its capitals, at most five; a name with only two capitals keeps its first
// two characters so that "Test Zone" still gives three letters.
CString shortName(const CString& zoneName) {
    CString capitals;
    for (int i = 0; i < zoneName.GetLength(); ++i) {
        if (isCapital(zoneName[i])) capitals += zoneName[i];
    }
    int count = capitals.GetLength();
    if (count < 2) return L"UKNWN";
    if (count == 2) {
        CString result = zoneName.Left(2);
        for (int i = 2; i < zoneName.GetLength(); ++i) {
            if (isCapital(zoneName[i])) result += zoneName[i];
        }
        return result.MakeUpper();
    }
    return capitals.Left(5);
}

}  // namespace

CString CGlobalFunc::getErrorName(unsigned int messageType) {
    return nameOf(kMessageTypeNames, messageType);
}

CString CGlobalFunc::getViewStateName(int viewState) {
    return nameOf(kViewStateNames, viewState);
}

CString CGlobalFunc::abbreviateTimezone(const CString& zoneName, BOOL* fromTable) {
    CString abbreviation = findTimeZoneAbbreviation(zoneName);
    if (fromTable) *fromTable = !abbreviation.IsEmpty();
    return abbreviation.IsEmpty() ? shortName(zoneName) : abbreviation;
}

void CGlobalFunc::GetTimezone(CString& result) {
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    CString zoneName;
    if (GetDynamicTimeZoneInformation(&zone) != TIME_ZONE_ID_INVALID) zoneName = zone.TimeZoneKeyName;
    BOOL fromTable = FALSE;
    result = abbreviateTimezone(zoneName, &fromTable);
    if (fromTable) {
        LOG_WRITE(L"[downCheck][Timezone:%s][table:%s]", zoneName.GetString(), result.GetString());
    } else {
        LOG_WRITE(L"[downCheck][Timezone:%s][short:%s]", zoneName.GetString(), result.GetString());
    }
}
