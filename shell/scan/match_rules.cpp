#include "shell/scan/match_rules.h"

#include "descriptors/path_join.h"
#include "descriptors/sw_version.h"
#include "foundation/code_tables.h"

#include <windows.h>

BOOL isRestrictedRegion(int region, int corp) {
    switch (region) {
    case REGION_ME:
    case REGION_NZ:
    case REGION_BR:
    case REGION_CA:
    case REGION_AU:
    case REGION_TR:
        return TRUE;
    case REGION_RU:
        return corp == CORP_TS || corp == CORP_DR;
    default:
        return FALSE;
    }
}

BOOL isSwVersionAccepted(const CString& pattern, const CString& version) {
    int pos = 0;
    for (;;) {
        int bar = pattern.Find(L'|', pos);
        CString alternative = bar < 0 ? pattern.Mid(pos) : pattern.Mid(pos, bar - pos);
        if (!alternative.IsEmpty() && alternative.CompareNoCase(version) == 0) return TRUE;
        if (bar < 0) return FALSE;
        pos = bar + 1;
    }
}

namespace {

bool allDigits(const CString& text) {
    if (text.IsEmpty()) return false;
    for (int i = 0; i < text.GetLength(); ++i)
        if (text[i] < L'0' || text[i] > L'9') return false;
    return true;
}

// Digits only: leading zeros dropped, so that the texts compare as numbers
// of any length.
CString withoutLeadingZeros(const CString& digits) {
    int i = 0;
    while (i + 1 < digits.GetLength() && digits[i] == L'0') ++i;
    return digits.Mid(i);
}

bool isCommonEntry(const InfInfo* entry) {
    return entry && entry->getModelFlag() == 0;
}

}  // namespace

bool modelCodesEqual(const CString& a, const CString& b) {
    if (a.IsEmpty() || b.IsEmpty()) return false;
    if (allDigits(a) && allDigits(b)) return withoutLeadingZeros(a) == withoutLeadingZeros(b);
    return a.CompareNoCase(b) == 0;
}

int matchBySwVersion(const InfInfoList* list, const CString& version, InfInfo*& match,
                     std::vector<InfInfo*>& extras) {
    match = nullptr;
    if (!list) return 0;
    for (InfInfo* entry : list->m_list) {
        if (!entry || !checkSwVersion(version, entry, getCorpId(entry->getBrandCode()))) continue;
        match = entry;
        equivalent_models partners;
        if (findEquivalentModel(entry, *list, version, partners)) {
            if (partners.primary) match = partners.primary;
            extras.insert(extras.end(), partners.others.begin(), partners.others.end());
        }
        return 1;
    }
    return 0;
}

int matchByModelCode(const ver_file_head* head, const InfInfoList* list, InfInfo*& match) {
    match = nullptr;
    if (!head || !list) return 0;
    const CString code = head->getModelCode();
    for (InfInfo* entry : list->m_list) {
        if (isCommonEntry(entry) && modelCodesEqual(entry->getModelCode(), code)) {
            match = entry;
            return 1;
        }
    }
    return 0;
}

int matchByInfName(const ver_file_head* head, const InfInfoList* list, InfInfo*& match) {
    match = nullptr;
    if (!head || !list) return 0;
    const CString verName = head->getField(3);
    for (InfInfo* entry : list->m_list) {
        if (!isCommonEntry(entry)) continue;
        CString base = entry->getInfFileName();
        base.Replace(L".inf", L"");
        if (base == verName) {
            match = entry;
            return 1;
        }
    }
    return 0;
}

LONGLONG verEntrySize(const ver_file_entry& entry) {
    const CString text = entry.getField(4);
    LONGLONG value = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') continue;
        value = value * 10 + (text[i] - L'0');
    }
    return text.Find(L'-') >= 0 ? -value : value;
}

BOOL allEntriesPresent(const ver_file_data& file, const CString& root, BOOL isDrive) {
    static const wchar_t* const kHeadUnitPrograms[] = {L"MAP.exe", L"vnt.exe", L"HTML.exe", L"SPOT.exe",
                                                       L"IMAGE.exe"};
    const CString base = isDrive ? root + L":\\" : root;
    for (const ver_file_entry* entry : file.entries) {
        if (!entry) continue;
        const CString name = entry->getFileName();
        bool program = false;
        for (const wchar_t* p : kHeadUnitPrograms) program = program || name.CompareNoCase(p) == 0;
        if (program) continue;
        CString path = base;
        if (!appendPath(path, entry->getDestPath()) || !appendPath(path, name)) return FALSE;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(path.GetString(), GetFileExInfoStandard, &data) ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return FALSE;
        const LONGLONG size = static_cast<LONGLONG>((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) |
                                                    data.nFileSizeLow);
        if (size != verEntrySize(*entry)) return FALSE;
    }
    return TRUE;
}

void mergeTailMaps(InfFileTailMap* target, const InfFileTailMap* source) {
    if (target && source && target != source) target->mergeFront(*source);
}

void mergeInfTails(InfInfoList* list) {
    if (!list || list->size() <= 1) return;
    InfFileTailMap* remembered = nullptr;
    for (InfInfo* entry : list->m_list) {
        InfFileHead* head = entry ? entry->getInfFileHead() : nullptr;
        if (!head) return;
        CString name = head->getInfBaseName();
        name.Replace(L".inf", L"");
        if (name != entry->getDeviceName()) {
            remembered = entry->getInfFileTails();
            continue;
        }
        if (!entry->getMerged() && remembered) mergeTailMaps(entry->getInfFileTails(), remembered);
        entry->setMerged(1);
        // Only a list that refers to its entries may drop one.
        if (!list->isOwning()) list->m_list.pop_back();
        return;
    }
}

BOOL readConfigurationId(const CString& driveRoot, CString& id) {
    id.Empty();
    CString folder = driveRoot;
    while (!folder.IsEmpty() && (folder.Right(1) == L"\\" || folder.Right(1) == L"/"))
        folder = folder.Left(folder.GetLength() - 1);
    folder += L"\\Data\\Common\\Configuration\\*";
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW(folder.GetString(), &found);
    if (find == INVALID_HANDLE_VALUE) return FALSE;
    do {
        CString name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        name.MakeLower();
        if (name.GetLength() < 4 || name.Right(4) != L".aaa") continue;
        const int underscore = name.Find(L'_');
        if (underscore < 1) continue;
        const CString rest = name.Mid(underscore + 1);
        if (rest.Find(L'_', 17) < 0) continue;
        CString joined;
        joined.Format(L"%s-%s-%s-%s-%s-%s", rest.Mid(0, 2).GetString(), rest.Mid(3, 2).GetString(),
                      rest.Mid(6, 2).GetString(), rest.Mid(9, 2).GetString(), rest.Mid(12, 2).GetString(),
                      rest.Mid(15, 2).GetString());
        joined.MakeUpper();
        id = joined;
        break;
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return id.IsEmpty() ? FALSE : TRUE;
}
