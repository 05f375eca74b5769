#include "shell/messages/message_type_table.h"

#include "shell/message_types.h"

#include <algorithm>
#include <iterator>

namespace msg {
namespace {

constexpr TextList N{{0, 0, 0}};
constexpr TextList T(int a, int b = 0, int c = 0) { return TextList{{a, b, c}}; }
constexpr TextList SP(int a) { return TextList{{kTextSpace, a, 0}}; }

// The type and its name for the log.
#define TYPE(type) type, L## #type

using I = Icon;
using R = Rule;

// type, name, heading, title, subtitle, body 1-3, link, check, OK, Cancel, icon, rule
const MessageTypeRow kRows[] = {
    {TYPE(SERVER_ERROR_USB_REMOVE_FAIL), T(16107), T(17107), N, N, N, N, 0, 0, 12174, 0, I::None, R::DetailLines},
    {TYPE(SERVER_ERROR_NETWORK_FAIL), T(12034), T(12035), N, T(12452), N, N, 0, 0, 12039, 12040, I::Error, R::None},
    {TYPE(SERVER_ERROR_LOGIN_WRONG_IDPWD), T(12041), T(12042), N, T(12043, 12044), N, N, 0, 0, 12045, 0, I::Error, R::None},
    {TYPE(SERVER_ERROR_LOGIN_INVALID_VIN), N, N, N, N, N, N, 0, 0, 0, 0, I::Error, R::None},
    {TYPE(SERVER_ERROR_LOGIN_NOT_SUPPORT_UPDATE_VIN), T(12143), T(12144), N, T(kTextEmpty), N, N, 0, 0, 12045, 0, I::Error, R::None},
    {TYPE(SERVER_ERROR_LOGIN_AUTHORITY), T(12041), T(12042), N, T(12043, 12044), N, N, 0, 0, 12045, 0, I::Error, R::None},
    {TYPE(SERVER_ERROR_LOGIN_PASSWORD_LIMIT), T(12046), T(12047), N, T(12048), N, N, 0, 0, 12045, 0, I::Error, R::None},
    {TYPE(SERVER_ERROR_LOGIN_DEALER_PASSWORD_INIT), T(12016), T(12017), N, T(12018), N, N, 0, 0, 12019, 0, I::Error, R::None},
    {TYPE(SERVER_ERROR_LOGIN_UNKNOWN_SERVER), T(12069), T(12070), N, T(12071, 12072), N, T(13073, 13074), 0, 0, 12045, 0, I::Error, R::None},
    {TYPE(SERVER_ERROR_LOGIN_SYSTEM), T(12056), T(12057), N, T(12058, 12059), N, N, 12060, 0, 12045, 0, I::Error, R::None},
    {TYPE(SERVER_ERROR_LOGIN_INPUT_INFO), T(12050), T(12051), N, N, N, N, 0, 0, 12055, 0, I::Error, R::None},
    {TYPE(SERVER_ERROR_LOGIN_SERVER_UPDATE), T(12062), T(12063), N, T(12064, 12065, 12066), N, N, 12067, 0, 12068, 0, I::Warning, R::None},
    {TYPE(SERVER_ERROR_LOGIN_UNKNOWN), T(12041), T(13042), N, T(12043, 12044), N, N, 0, 0, 12045, 0, I::Error, R::None},
    {TYPE(SERVER_ERROR_LANGUAGE_UNKNOWN), T(12409), T(12410), N, T(12411, 12412), N, N, 12413, 0, 12045, 0, I::Error, R::LinkWithIcon},
    {TYPE(SERVER_ERROR_USB_ZERO), T(13068), T(14068), N, T(15068), N, N, 0, 0, 12068, 0, I::Medium, R::MediumPicture},
    {TYPE(SERVER_ERROR_USB_LOCK), T(12226), T(12227), N, T(12228), N, N, 0, 0, 12229, 0, I::Warning, R::None},
    {TYPE(SERVER_ERROR_USB_NTFS), T(12230), T(12231), N, T(12232, 12233), N, N, 0, 0, 12234, 0, I::Warning, R::None},
    {TYPE(SERVER_ERROR_USB_OVER), T(12236), T(12237), N, T(12238), N, N, 0, 0, 12234, 0, I::Warning, R::Placeholders},
    {TYPE(SERVER_ERROR_UPDATE_CHECK_BACKUP), T(13234), T(14234), N, N, N, N, 0, 15234, 12234, 0, I::None, R::CheckBox},
    {TYPE(SERVER_ERROR_UPDATE_CHECK_INF_LIMIT), T(12062), T(12063), N, T(12064, 12065, 12066), N, N, 12067, 0, 12068, 0, I::Warning, R::None},
    {TYPE(SERVER_ERROR_UPDATE_CHECK_INF_DOWNLOAD_FAIL), T(12169), T(12170), N, T(13172), N, N, 12173, 0, 12174, 0, I::Error, R::LinkWithIcon},
    {TYPE(SERVER_ERROR_UPDATE_CHECK_MEMORY_USB), T(12236), T(12237), N, T(12238), N, N, 0, 0, 12174, 12040, I::Warning, R::Placeholders},
    {TYPE(SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_USB), T(12236), T(12237), N, T(12238), N, N, 0, 0, 12174, 0, I::Warning, R::Placeholders},
    {TYPE(SERVER_ERROR_UPDATE_CHECK_MEMORY_HDD), T(12213), T(12214), N, T(12215, 12216), N, N, 0, 0, 12174, 12040, I::Warning, R::Placeholders},
    {TYPE(SERVER_ERROR_FORMAT_FAIL), T(12218), T(12219), N, T(12220), N, N, 0, 0, 12225, 0, I::Error, R::ByLanguage},
    {TYPE(SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_HDD), T(12213), T(12214), N, T(12215, 12216), SP(12108), N, 0, 0, 12174, 12110, I::Warning, R::FolderBox},
    {TYPE(SERVER_ERROR_UPDATE_CHECK_SAVE_DRIVE_UPDATE_HDD), T(12201), T(13204), N, N, N, N, 0, 0, 12174, 0, I::Warning, R::None},
    {TYPE(SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD), T(12206), T(13209), N, T(12211), N, N, 0, 0, 12174, 0, I::Warning, R::FolderBox},
    {TYPE(SERVER_ERROR_UPDATE_CHECK_LASTEST_VERSION_ENDUSER), T(12181), T(12182), T(12183), N, N, N, 0, 0, 12184, 12040, I::None, R::None},
    {TYPE(SERVER_ERROR_UPDATE_CHECK_LASTEST_VERSION_DEALERPRE), T(12181), T(12182), T(12183), N, N, N, 0, 0, 12184, 0, I::None, R::None},
    {TYPE(SERVER_ERROR_DOWNLOAD_ZIP), T(9901), T(9902), N, T(9903, 9904), N, N, 0, 0, 12174, 12040, I::Error, R::DetailLines},
    {TYPE(SERVER_ERROR_DOWNLOAD_FILE_SIZE), N, N, N, N, N, N, 0, 0, 12314, 12040, I::Error, R::DownloadError},
    {TYPE(SERVER_ERROR_DOWNLOAD_FILE_CRC), N, N, N, N, N, N, 0, 0, 12314, 12040, I::Error, R::DownloadError},
    {TYPE(SERVER_ERROR_DOWNLOAD_FAIL), N, N, N, N, N, N, 0, 0, 12314, 12040, I::Error, R::DownloadError},
    {TYPE(SERVER_ERROR_UPDATE_CHECK_INF_LOAD), T(12169), T(12170), N, T(12171, 12172), N, N, 12173, 0, 12234, 0, I::Error, R::LinkWithIcon},
    {TYPE(SERVER_ERROR_DOWNLOAD_ERROR), N, N, N, N, N, N, 13316, 0, 12314, 12040, I::Error, R::DownloadError95},
    {TYPE(SERVER_ERROR_UNZIP_FAIL), N, N, N, N, N, N, 0, 0, 12314, 12040, I::Error, R::UnzipError},
    {TYPE(SERVER_ERROR_COPY_FAIL), N, N, N, N, N, N, 0, 0, 12305, 12306, I::Warning, R::CopyError},
    {TYPE(SERVER_ERROR_COPY_NOT_FOUND_FILE), N, N, N, N, N, N, 0, 0, 12305, 12306, I::Warning, R::CopyError},
    {TYPE(SERVER_ERROR_COPY_FILE_SIZE), N, N, N, N, N, N, 0, 0, 12305, 12306, I::Warning, R::CopyError},
    {TYPE(SERVER_ERROR_LANGUAGE_FAIL), T(13412), T(14412), N, T(15412), N, N, 12054, 0, 12174, 0, I::None, R::None},
    {TYPE(SERVER_ERROR_ETC_UPDATE_CANCEL), T(13260), T(14260), N, N, N, N, 0, 0, 12174, 12040, I::None, R::None},
    {TYPE(SERVER_ERROR_CHANGE_FOLDER_FAIL), T(13261), T(14261, 16261), N, N, N, N, 0, 0, 12174, 12040, I::None, R::None},
    {TYPE(SERVER_ERROR_CHANGE_FOLDER_READONLY), T(13261), T(15261, 16261), N, N, N, N, 0, 0, 12174, 12040, I::None, R::None},
    {TYPE(SERVER_ERROR_ETC_CHANGE_FOLDER), T(13107), T(14107, 15107), N, N, N, N, 0, 0, 12174, 12040, I::None, R::None},
    {TYPE(SERVER_ERROR_ETC_PROGRAM_EXIT), T(12444), T(12445), N, N, N, N, 0, 0, 12135, 12136, I::Exit, R::None},
    {TYPE(SERVER_ERROR_ETC_PROGRAM_EXIT_UPDATE), T(12344), T(15174), N, N, N, N, 0, 0, 12174, 12040, I::Exit, R::None},
    {TYPE(SERVER_ERROR_ETC_OPEN_SOURCE_LICENSE), T(12374), T(12374), N, N, N, N, 0, 0, 12174, 0, I::None, R::Licence},
    {TYPE(SERVER_ERROR_ETC_EULA), T(12376), T(12376), N, N, N, N, 0, 0, 12174, 0, I::None, R::Terms},
    {TYPE(SERVER_ETC_WAITING), T(12456), T(13458), N, N, N, N, 0, 0, 0, 0, I::None, R::Waiting},
    {TYPE(SERVER_ERROR_UNKNOWN), N, N, N, N, N, N, 0, 0, 12174, 0, I::None, R::None},
    {TYPE(SERVER_ERROR_NONE), N, N, N, N, N, N, 0, 0, 0, 0, I::None, R::None},
    {TYPE(SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT), T(12131), N, N, T(13134), N, N, 0, 0, 12295, 12296, I::None, R::MediumBrand},
    {TYPE(SERVER_ETC_MEDIUM_UP_TO_DATE), T(12181), T(12182), N, T(12183), N, N, 0, 0, 12234, 0, I::None, R::None},
    {TYPE(SERVER_ETC_MEDIUM_MATCHED), T(12175), N, N, N, N, N, 0, 0, 12234, 0, I::None, R::MediumMatched},
    {TYPE(SERVER_ETC_EXIT_NOTICE), T(12444), T(12445), N, N, N, N, 0, 0, 12174, 0, I::Warning, R::None},
    {TYPE(SERVER_ETC_LANGUAGE_CHANGED), T(12415), T(12416), N, N, N, N, 0, 0, 12174, 0, I::None, R::Placeholders},
    {TYPE(SERVER_ETC_REMOVE_DOWNLOAD), T(12370), T(12393), N, N, N, N, 0, 0, 12174, 12040, I::None, R::RemoveDownloads},
    {TYPE(SERVER_ETC_FIRST_OPEN), T(12105), T(12106, 12107), N, SP(12108), N, N, 0, 0, 12109, 12110, I::None, R::FolderBox},
    {TYPE(SERVER_ETC_DATA_CONSENT), T(12111), T(12112), T(12113), N, N, N, 0, 0, 12174, 0, I::None, R::Consent},
    {TYPE(SERVER_ETC_NO_VEHICLE_TS), T(12094), N, N, N, N, N, 0, 0, 0, 0, I::None, R::ByRegion},
    {TYPE(SERVER_ETC_NO_VEHICLE_DR), T(12094), N, N, N, N, N, 0, 0, 0, 0, I::None, R::ByRegion},
    {TYPE(SERVER_ETC_NO_VEHICLE_LV), T(12094), N, N, N, N, N, 0, 0, 0, 0, I::None, R::ByRegion},
    {TYPE(SERVER_ETC_NOT_SUPPORT_MAP_UPDATE), T(12185), T(12187, 12188), N, N, N, N, 0, 0, 12189, 0, I::None, R::None},
    {TYPE(SERVER_ETC_SAVE_TO_HDD), T(12190), T(12191), N, T(12192), N, N, 0, 0, 12352, 12353, I::None, R::FolderRow},
    {TYPE(SERVER_ETC_SAVE_TO_SD), T(12196), T(12197), N, T(12198), N, N, 0, 0, 12295, 12296, I::None, R::Placeholders},
    {TYPE(SERVER_ETC_UPDATE_CANCEL_CONFIRM), T(12293), T(12294), N, N, N, N, 0, 0, 12295, 12296, I::Exit, R::None},
    {TYPE(SERVER_ETC_SD_CARD_QUESTION), N, N, N, N, N, N, 0, 0, 12357, 12353, I::Warning, R::ByMediumType},
    {TYPE(SERVER_FINISH_UPDATE_GUIDE), T(12359), N, N, N, N, N, 0, 0, 12362, 0, I::None, R::ParamTitle},
    {TYPE(SERVER_ETC_INSERT_MEDIUM), N, N, N, N, N, N, 0, 0, 12357, 12358, I::Warning, R::ByMediumType},
    {TYPE(SERVER_ETC_HIDDEN_DISK_SPACE), T(12213), N, N, T(13174, 14174), N, N, 0, 0, 12174, 0, I::Warning, R::ParamTitle},
    {TYPE(SERVER_ETC_HIDDEN_UNZIP_DONE), T(13333), T(14333), N, N, N, N, 0, 0, 12174, 0, I::None, R::OpenFolder},
    {TYPE(SERVER_ERROR_LOGIN_NO_AUTHORITY_904), T(12082), N, N, N, N, N, 0, 0, 12092, 12093, I::Warning, R::ByBrand},
    {TYPE(SERVER_ERROR_LOGIN_NO_AUTHORITY_903), T(12076), T(12077), N, T(12078, 12079), N, N, 0, 0, 12357, 12358, I::Warning, R::None},
    {TYPE(SERVER_ETC_CAR_REG_QUESTION), T(12240), T(13243), N, N, N, N, 0, 0, 12246, 12247, I::Warning, R::ByLanguage},
    {TYPE(SERVER_ERROR_USB_IS_BIGSIZE), T(12248), T(12249), N, T(12250), N, N, 0, 0, 12251, 0, I::Warning, R::None},
    {TYPE(SERVER_ETC_CAR_CHANGE_GUIDE), N, N, N, N, N, N, 0, 0, 0, 0, I::Warning, R::None},
    {TYPE(SERVER_ETC_BRAND_CHANGED), T(12606), T(12607), T(12608), N, N, N, 0, 0, 12174, 0, I::None, R::Placeholders},
    {TYPE(SERVER_ETC_BRAND_CHANGED_GUEST), T(12606), T(12607), T(12609), N, N, N, 0, 0, 12174, 0, I::None, R::Placeholders},
    {TYPE(SERVER_ETC_DOWNLOAD_REMOVED), N, N, N, N, N, N, 0, 0, 0, 0, I::None, R::None},
    {TYPE(SERVER_ERROR_LOGIN_INCORRECT_ID_PASSWORD), T(12656), T(12042), N, T(12043, 12044), N, N, 0, 0, 12666, 0, I::Error, R::None},
    {TYPE(SERVER_ERROR_LOGIN_PASSWORD_EXPIRED), T(12656), T(12658), N, N, N, N, 0, 0, 12666, 0, I::Error, R::None},
    {TYPE(SERVER_ERROR_LOGIN_FAILED_EXCEEDED_COUNT), T(12656), T(12659), N, N, N, N, 0, 0, 12666, 0, I::Error, R::None},
    {TYPE(SERVER_ERROR_LOGIN_PASSWORD_NEEDS_REST), T(12656), T(12660), N, N, N, N, 0, 0, 12666, 0, I::Error, R::None},
    {TYPE(SERVER_ERROR_LOGIN_ACCESS_DENIED), T(12656), T(12661), N, N, N, N, 0, 0, 12666, 0, I::Error, R::None},
    {TYPE(SERVER_ERROR_LOGIN_TEMPORARY_PASSWORD_EXPIRED), T(12656), T(12662), N, N, N, N, 0, 0, 12666, 0, I::Error, R::None},
    {TYPE(SERVER_ERROR_LOGIN_INVALID_LOGIN_ATTEMPTS), T(12656), T(12663), N, N, N, N, 0, 0, 12666, 0, I::Error, R::None},
    {TYPE(SERVER_ERROR_LOGIN_DIFFERENT_TOKEN_ID), T(12656), T(12664), N, N, N, N, 0, 0, 12666, 0, I::Error, R::None},
    {TYPE(SERVER_ERROR_LOGIN_UNKOWN), T(12656), T(12665), N, N, N, N, 0, 0, 12666, 0, I::Error, R::None},
};

// The settings page raises 82, 83, 203 and 1005 and chains 1005 to 1028;
// its text block shows the warning icon for 82 and 83 only.
const MessageTypeRow kConfigRows[] = {
    {TYPE(SERVER_ERROR_UPDATE_CHECK_SAVE_DRIVE_UPDATE_HDD), T(12201), T(13204), N, N, N, N, 0, 0, 12174, 0, I::Warning, R::None},
    {TYPE(SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD), T(12206), T(13209), N, T(12211), N, N, 0, 0, 12174, 0, I::Warning, R::FolderBox},
    {TYPE(SERVER_ERROR_ETC_OPEN_SOURCE_LICENSE), T(12374), T(12374), N, N, N, N, 0, 0, 12174, 0, I::None, R::Licence},
    {TYPE(SERVER_ETC_REMOVE_DOWNLOAD), T(12370), T(12393), N, N, N, N, 0, 0, 12174, 12040, I::None, R::RemoveDownloads},
    {TYPE(SERVER_ETC_DOWNLOAD_REMOVED), T(12610), T(12611), N, N, N, N, 0, 0, 12174, 0, I::None, R::RemovalAnswer},
};

const MessageTypeRow* find(const MessageTypeRow* begin, const MessageTypeRow* end, int type) {
    const MessageTypeRow* at =
        std::lower_bound(begin, end, type, [](const MessageTypeRow& row, int t) { return row.type < t; });
    return at != end && at->type == type ? at : nullptr;
}

}  // namespace

const MessageTypeRow* messageTypeTable(std::size_t* count) {
    if (count) *count = std::size(kRows);
    return kRows;
}

const MessageTypeRow* configMessageTypeTable(std::size_t* count) {
    if (count) *count = std::size(kConfigRows);
    return kConfigRows;
}

const MessageTypeRow* findMessageType(int type) { return find(std::begin(kRows), std::end(kRows), type); }

const MessageTypeRow* findConfigMessageType(int type) {
    return find(std::begin(kConfigRows), std::end(kConfigRows), type);
}

}  // namespace msg
