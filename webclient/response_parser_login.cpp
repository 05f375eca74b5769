#include "webclient/response_parser_login.h"
#include "webclient/reply_text.h"
#include "descriptors/inf_file_update.h"
#include "foundation/logmanager.h"

#include <set>
#include <vector>

namespace {

// Field numbers of the reply ("#!#").
enum LoginField {
    FIELD_RESULT = 1,
    FIELD_INF_URL = 4,
    FIELD_NAMES = 5,
    FIELD_PICTURE = 6,
    FIELD_PICTURE_URL = 7,
    FIELD_MODEL = 8,
    FIELD_GPS_PICTURE = 10,
    FIELD_GPS_PICTURE_URL = 11,
    FIELD_SW_PATTERN = 12,
    FIELD_MEDIA = 13,
    FIELD_PLATFORM = 14,
    FIELD_MODEL_LIST = 15,
    FIELD_NAMES_INTL = 16,
    FIELD_VEHICLE_ID = 17,
    FIELD_DEALER = 18,
};

// The fields that hold one item per vehicle.
const LoginField kPerVehicleFields[] = {FIELD_NAMES,      FIELD_PICTURE,    FIELD_MODEL,          FIELD_GPS_PICTURE,
                                        FIELD_SW_PATTERN, FIELD_MEDIA,      FIELD_PLATFORM,       FIELD_MODEL_LIST,
                                        FIELD_NAMES_INTL, FIELD_VEHICLE_ID};

struct Vehicle {
    std::vector<CString> infNames;
    int mapUpdate = 0;
};

Vehicle readVehicle(const CString& piece) {
    std::vector<CString> parts = splitReply(piece, L"$");
    Vehicle v;
    v.infNames = splitReply(parts[0], L"@");
    if (parts.size() > 1) v.mapUpdate = replyNumber(parts[1]);
    return v;
}

struct Names {
    CString brand, name, device;
    int sort = 0;
    BYTE listedFirst = 0;
};

Names readNames(const CString& item) {
    std::vector<CString> parts = splitReply(item, L"$");
    Names n;
    n.brand = parts[0];
    std::vector<CString> sub = splitReply(replyToken(parts, 1), L"|");
    n.name = replyToken(sub, 0);
    n.device = replyToken(sub, 1);
    n.sort = replyNumber(replyToken(sub, 2));
    n.listedFirst = replyToken(sub, 3).CompareNoCase(L"Y") == 0 ? 1 : 0;
    return n;
}

// A repeated software-version pattern gets trailing blanks so that the
// entries sharing it can be told apart; from the fourth repeat on they stay
// alike.
CString uniquePattern(std::set<CString>& seen, CString p) {
    if (!p.IsEmpty() && seen.count(p) && seen.count(p + L" ")) p += L"  ";
    if (!p.IsEmpty() && seen.count(p)) p += L" ";
    seen.insert(p);
    return p;
}

// An empty name names no folder (nothing downloads it, nothing is made or
// cleaned for it), so it keeps its entry as before.
bool refusedName(const CString& name) {
    return !name.IsEmpty() && !ResponseParserLogin::isUsableDescriptorName(name);
}

}  // namespace

bool ResponseParserLogin::isUsableDescriptorName(const CString& name) {
    if (name.IsEmpty() || !isContainedName(name)) return false;
    if (name.FindOneOf(L"\\/*?<>|\"") >= 0) return false;
    const wchar_t last = name[name.GetLength() - 1];
    if (last == L'.' || last == L' ') return false;
    // "MODEL~1.inf" may be the short name of another folder's long one.
    for (int i = name.Find(L'~'); i >= 0 && i + 1 < name.GetLength(); i = name.Find(L'~', i + 1)) {
        if (name[i + 1] >= L'0' && name[i + 1] <= L'9') return false;
    }
    return true;
}

int ResponseParserLogin::parse(CString text) {
    if (m_nFormat == 2) return parseFormat2(text);
    return 0;
}

int ResponseParserLogin::parseFormat2(CString text) {
    text = removeReplyLineEnds(text);
    m_nReplyCode = -1;
    m_bListsAgree = false;
    if (text.IsEmpty()) {
        m_nResultCode = -1;
        return 0;
    }
    const std::vector<CString> fields = splitReply(text, L"#!#");
    // An absent field is an empty list; a present but empty one holds one
    // empty item.
    auto list = [&](LoginField f) {
        return static_cast<size_t>(f) < fields.size() ? splitReply(fields[f], L"|*|") : std::vector<CString>();
    };

    std::vector<CString> result;
    if (fields.size() > FIELD_RESULT) result = splitReply(fields[FIELD_RESULT], L"|");
    std::vector<Vehicle> vehicles;
    for (size_t i = 3; i < result.size(); ++i) vehicles.push_back(readVehicle(result[i]));
    const size_t n = vehicles.size();

    m_nResultCode = result.empty() ? 0 : replyNumber(result[0]);
    m_nReplyCode = m_nResultCode;
    m_bListsAgree = true;
    for (LoginField f : kPerVehicleFields) {
        const bool emptyField = static_cast<size_t>(f) >= fields.size() || fields[f].IsEmpty();
        if (list(f).size() != n && !(n == 0 && emptyField)) m_bListsAgree = false;
    }
    if (m_pText1) *m_pText1 = replyToken(result, 1);
    if (m_pText2) m_pText2->Empty();
    if (m_pText3) *m_pText3 = replyToken(result, 2);
    if (m_pDealerCode) *m_pDealerCode = replyToken(splitReply(replyToken(fields, FIELD_DEALER), L"|"), 0);

    // A success whose lists disagree cannot be matched up vehicle by
    // vehicle: it is as unusable as one without vehicles. A refusal keeps its
    // own code whatever else it carries, and yields no vehicles then.
    for (LoginField f : kPerVehicleFields) {
        if (list(f).size() == n) continue;
        if (m_nResultCode != 200) return 1;
        m_nResultCode = 900;
        return 0;
    }
    if (m_nResultCode == 200 && n == 0) {
        m_nResultCode = 900;
        return 0;
    }
    if (!m_pList) return 1;

    const CString infUrl = replyToken(fields, FIELD_INF_URL);
    const CString pictureUrl = replyToken(fields, FIELD_PICTURE_URL);
    const CString gpsPictureUrl = replyToken(fields, FIELD_GPS_PICTURE_URL);
    const std::vector<CString> names = list(FIELD_NAMES), pictures = list(FIELD_PICTURE), models = list(FIELD_MODEL),
                               gpsPictures = list(FIELD_GPS_PICTURE), patterns = list(FIELD_SW_PATTERN),
                               media = list(FIELD_MEDIA), platforms = list(FIELD_PLATFORM),
                               modelLists = list(FIELD_MODEL_LIST), namesIntl = list(FIELD_NAMES_INTL);
    std::set<CString> seenPatterns;
    for (size_t k = 0; k < n; ++k) {
        const Names name = readNames(names[k]);
        const std::vector<CString> intl = splitReply(namesIntl[k], L"|");
        // Without its common descriptor a vehicle's model descriptors would
        // land in another vehicle's folder: the vehicle goes as a whole then.
        if (!vehicles[k].infNames.empty() && refusedName(vehicles[k].infNames[0])) {
            LOG_WRITE(L"ResponseParserLogin::parseFormat2: vehicle dropped, descriptor name refused: '%s'",
                      vehicles[k].infNames[0].GetString());
            continue;
        }
        InfInfo* first = nullptr;
        for (size_t j = 0; j < vehicles[k].infNames.size(); ++j) {
            if (refusedName(vehicles[k].infNames[j])) {
                LOG_WRITE(L"ResponseParserLogin::parseFormat2: descriptor name refused: '%s'",
                          vehicles[k].infNames[j].GetString());
                continue;
            }
            auto* entry = new InfInfo;
            if (!first) first = entry;
            entry->setInfFileName(vehicles[k].infNames[j]);
            entry->setMapUpdate(vehicles[k].mapUpdate);
            entry->setInfUrl(infUrl);
            entry->setBrandCode(name.brand);
            entry->setCarName(name.name);
            entry->setDeviceName(name.device);
            entry->setSortNumber(name.sort);
            entry->setGroup(name.listedFirst);
            entry->setVehicleImageName(pictures[k]);
            entry->setVehicleImageUrl(pictureUrl);
            entry->setGpsImageName(gpsPictures[k]);
            entry->setGpsImageUrl(gpsPictureUrl);
            entry->setModelCode(models[k]);
            entry->setModelCodeList(modelLists[k]);
            entry->setSwVersion(uniquePattern(seenPatterns, patterns[k]));
            entry->setMediaType(media[k]);
            entry->setDeviceType(replyNumber(platforms[k]));
            entry->setCarNameIntl(replyToken(intl, 0));
            entry->setDeviceNameIntl(replyToken(intl, 1));
            entry->setModelFlag(static_cast<int>(j));
            entry->setFirstDescriptor(first);
            entry->m_guard.set();
            m_pList->insertSorted(entry);
        }
    }
    return 1;
}
