#include "shell/scan/medium_scan.h"

#include "descriptors/ver_file.h"
#include "engine/usb_detector.h"
#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "shell/scan/match_rules.h"
#include "shell/scan/ver_reader.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

const int kCorps[] = {CORP_TS, CORP_LV, CORP_DR};

// Every catalogue fetched during one scan stays alive until the scan ends:
// a later request for the same brand must not free an entry already taken
// as the match.
class CatalogPool {
public:
    CatalogPool(const MediumScanInput& input) : m_input(input) {
        if (input.account) m_cache[input.account->getCorp()] = input.account;
    }

    bool cached(int corp) const { return m_cache.count(corp) != 0; }

    // A fresh list for the brand; it replaces the cached one on success.
    InfInfoList* request(int corp) {
        InfInfoList* catalog = nullptr;
        BOOL ok = m_input.requestCatalog ? m_input.requestCatalog(catalog, corp) : FALSE;
        if (!catalog) return nullptr;
        m_fetched.emplace_back(catalog);
        if (ok) m_cache[corp] = catalog;
        return catalog;
    }

    // The catalogues holding one of the entries go to retired; the rest
    // are freed with the pool.
    void retireHolders(const std::vector<const InfInfo*>& kept, std::vector<std::unique_ptr<InfInfoList>>& retired) {
        for (auto& catalog : m_fetched) {
            bool holds = false;
            for (const InfInfo* entry : kept)
                holds = holds || (entry && std::find(catalog->m_list.begin(), catalog->m_list.end(), entry) !=
                                               catalog->m_list.end());
            if (holds) retired.push_back(std::move(catalog));
        }
        m_fetched.clear();
    }

private:
    const MediumScanInput& m_input;
    std::map<int, InfInfoList*> m_cache;
    std::vector<std::unique_ptr<InfInfoList>> m_fetched;
};

CString withoutExtension(const CString& name) {
    const int dot = name.ReverseFind(L'.');
    return dot > 0 ? name.Left(dot) : name;
}

struct AccountWords {
    int corp = CORP_NONE;
    CString userType, userId;
};

AccountWords accountWords(const InfInfoList* account) {
    AccountWords w;
    if (!account) return w;
    w.corp = account->getCorp();
    w.userType = getUserTypeName(account->getUserType());
    w.userId = account->getUserId();
    return w;
}

void recordMediumVersion(MediumScanState& state, const CString& lastSw) {
    state.m_strMediumSwVersion = lastSw;
    g_logManager.SetStatisticsOldSwVersion(lastSw);
}

void markOtherCorp(MediumScanState& state, int corp, int accountCorp, const CString& modelCode) {
    state.m_bMediumOtherCorp = TRUE;
    state.m_nMediumCorp = corp;
    state.m_nAccountCorp = accountCorp;
    state.m_strMediumModelCode = modelCode;
}

// The first common account entry of the head's model.
InfInfo* accountEntryOfModel(const InfInfoList* account, const CString& modelCode) {
    if (!account) return nullptr;
    for (InfInfo* entry : account->m_list)
        if (entry && entry->getModelFlag() == 0 && modelCodesEqual(entry->getModelCode(), modelCode)) return entry;
    return nullptr;
}

bool upToDate(const InfInfo* match, const ver_file_data& file, const CString& root) {
    return isSwVersionAccepted(match->getSwVersion(), file.head->getSwVersion()) &&
           allEntriesPresent(file, root, FALSE);
}

// The software-version pass; true when any drive had a software version.
bool softwareVersionPass(const MediumScanInput& input, const std::vector<CString>& roots, CatalogPool& pool,
                         CString& lastSw, CString& swSeen, InfInfo*& match, std::vector<InfInfo*>& extras) {
    std::set<int> tried;
    for (const CString& root : roots) {
        const CString sw = CUSBDetector::getSwVersion(root);
        lastSw = sw;
        if (sw.IsEmpty()) continue;
        swSeen = sw;
        if (matchBySwVersion(input.account, sw, match, extras)) return true;
        for (int corp : kCorps) {
            if (pool.cached(corp) || tried.count(corp)) continue;
            tried.insert(corp);
            InfInfoList* catalog = pool.request(corp);
            if (catalog && matchBySwVersion(catalog, sw, match, extras)) return true;
        }
    }
    return !swSeen.IsEmpty();
}

}  // namespace

MediumScanOutcome scanVerFiles(const MediumScanInput& input, MediumScanState& state,
                               std::vector<std::unique_ptr<InfInfoList>>& retired) {
    MediumScanOutcome out;
    state.m_bMediumOtherCorp = FALSE;
    if (!input.account) return out;
    std::vector<CString> roots = input.roots;
    if (roots.empty()) return out;
    std::sort(roots.begin(), roots.end(), [](const CString& a, const CString& b) { return a.CompareNoCase(b) > 0; });

    const AccountWords account = accountWords(input.account);
    CatalogPool pool(input);
    CString lastSw, swSeen;
    InfInfo* swMatch = nullptr;
    std::vector<InfInfo*> extras;
    if (softwareVersionPass(input, roots, pool, lastSw, swSeen, swMatch, extras)) {
        CString record;
        if (!swMatch) {
            state.m_bMediumUnmatched = TRUE;
            record.Format(L"[D:%d,T:%s,LT:%s,ID:%s,GUID:%s,SWV:%s]", STAT_STAGE_MEDIUM_VERSION,
                          CGlobalFunc::getTimeStamp().GetString(), account.userType.GetString(),
                          account.userId.GetString(), input.clientGuid.GetString(), swSeen.GetString());
            g_logManager.AddStatistics(record);
        } else if (getCorpId(swMatch->getBrandCode()) != account.corp) {
            markOtherCorp(state, getCorpId(swMatch->getBrandCode()), account.corp, swMatch->getModelCode());
            out.selectLastVehicle = true;
        } else {
            state.m_nMediumCorp = account.corp;
            out.carInfo = swMatch;
            if (!extras.empty()) {
                std::vector<InfInfo*> named(extras);
                named.push_back(swMatch);
                out.matchedParams.resize(2 * named.size() + 1);
                out.matchedParams[0].Format(L"%d", static_cast<int>(2 * named.size()));
                for (size_t i = 0; i < named.size(); ++i) {
                    out.matchedParams[1 + i] = named[i]->getDeviceName();
                    out.matchedParams[1 + named.size() + i] = named[i]->getDeviceNameIntl();
                }
            }
        }
        std::vector<const InfInfo*> kept(extras.begin(), extras.end());
        kept.push_back(out.carInfo);
        pool.retireHolders(kept, retired);
        recordMediumVersion(state, lastSw);
        out.result = 1;
        return out;
    }

    InfInfo* match = nullptr;
    bool complete = false;
    for (const CString& root : roots) {
        const CString path = firstVerFile(root);
        if (path.IsEmpty()) continue;
        ver_file_data file;
        readVerFile(path, file);
        if (!file.head) {
            pool.retireHolders({}, retired);
            return out;
        }
        const ver_file_head* head = file.head;
        InfInfo* found = nullptr;
        if (head->getField(0) == L"*") {
            // Every brand is asked again and the last one that knows the
            // descriptor wins, the account's own brand included.
            for (int corp : kCorps) {
                InfInfoList* catalog = pool.request(corp);
                if (!matchByInfName(head, catalog, found)) continue;
                match = found;
                state.m_strMediumModelCode = found->getModelCode();
                if (corp != account.corp) {
                    markOtherCorp(state, corp, account.corp, found->getModelCode());
                    state.m_nMediumVerCorp = corp;
                } else {
                    state.m_bMediumOtherCorp = FALSE;
                }
            }
        } else if (head->getVersion() == 1) {
            if (matchByModelCode(head, input.account, found)) {
                match = found;
                complete = complete || upToDate(found, file, root);
            } else {
                for (int corp : kCorps) {
                    if (corp == account.corp) continue;
                    InfInfoList* catalog = pool.request(corp);
                    if (!matchByModelCode(head, catalog, found)) continue;
                    match = found;
                    markOtherCorp(state, corp, account.corp, head->getModelCode());
                    state.m_nMediumVerCorp = corp;
                    break;
                }
            }
        } else if (head->getVersion() == 2) {
            const int corp = getCorpId(head->getBrandCode());
            state.m_nMediumVerCorp = corp;
            if (corp == account.corp) {
                found = accountEntryOfModel(input.account, head->getModelCode());
                if (found) {
                    if (!found->getInfFileHead()) {
                        pool.retireHolders({}, retired);
                        return out;
                    }
                    match = found;
                    complete = complete || upToDate(found, file, root);
                }
            } else {
                markOtherCorp(state, corp, account.corp, head->getModelCode());
            }
        }
    }

    if (match && !state.m_bMediumOtherCorp) {
        CString record;
        record.Format(L"[D:%d,T:%s,LT:%s,ID:%s,GUID:%s,NAME:%s]", STAT_STAGE_LOGIN_RESULT,
                      CGlobalFunc::getTimeStamp().GetString(), account.userType.GetString(),
                      account.userId.GetString(), input.clientGuid.GetString(),
                      withoutExtension(match->getInfFileName()).GetString());
        g_logManager.AddStatistics(record);
        out.carInfo = match;
        out.lastReg = complete;
        recordMediumVersion(state, CString());
        out.result = 1;
    }
    pool.retireHolders({out.carInfo}, retired);
    return out;
}

namespace {

const wchar_t kTagReg[] = L"reg";
const wchar_t kTagLastReg[] = L"lastreg";

std::unique_ptr<InfInfoList> accountEntriesOfModel(const InfInfoList* account, const CString& modelCode) {
    std::unique_ptr<InfInfoList> list(account->filterByModelCode(modelCode));
    mergeInfTails(list.get());
    return list;
}

}  // namespace

CString readRegVer(InfInfo* entry, const CString& driveOrRoot, const InfInfoList* account) {
    if (!entry) return kTagReg;
    const CString root = mediumRoot(driveOrRoot);
    InfFileHead* infHead = entry->getInfFileHead();
    ver_file_data file;
    if (!infHead) {
        readVerFile(root + entry->getDeviceName() + L".ver", file);
        if (!file.head || !file.head->getComplete() || !account) return kTagReg;
        for (InfInfo* candidate : account->m_list) {
            if (!candidate || candidate->getModelFlag() != 0) continue;
            if (!candidate->getInfFileHead()) break;
            if (!modelCodesEqual(candidate->getModelCode(), file.head->getModelCode())) continue;
            return isSwVersionAccepted(candidate->getSwVersion(), file.head->getSwVersion()) &&
                           allEntriesPresent(file, root, FALSE)
                       ? kTagLastReg
                       : kTagReg;
        }
        return kTagReg;
    }
    const CString base = infHead->getInfBaseName();
    if (base.IsEmpty()) return kTagReg;
    readVerFile(root + base + L".ver", file);
    if (!file.head || !file.head->getComplete() || !account) return kTagReg;
    std::unique_ptr<InfInfoList> list = accountEntriesOfModel(account, entry->getModelCode());
    bool ok = true;
    for (InfInfo* candidate : list->m_list) {
        if (candidate->getModelFlag() != 0) continue;
        if (!candidate->getInfFileHead()) return kTagReg;
        ok = ok && modelCodesEqual(candidate->getModelCode(), file.head->getModelCode()) &&
             isSwVersionAccepted(candidate->getSwVersion(), file.head->getSwVersion());
        if (!ok || !allEntriesPresent(file, root, FALSE)) return kTagReg;
    }
    return kTagLastReg;
}

CString readLastReg(InfInfo* entry, const InfInfoList* account, const CString& dataPath,
                    const CString& mediumSwVersion, CString& infVersion, CString& swVersion) {
    if (!entry || !account) return kTagReg;
    std::unique_ptr<InfInfoList> list = accountEntriesOfModel(account, entry->getModelCode());
    CString folderRoot = dataPath;
    if (!folderRoot.IsEmpty() && folderRoot.Right(1) != L"\\") folderRoot += L"\\";
    bool ok = true;
    for (InfInfo* candidate : list->m_list) {
        InfFileHead* infHead = candidate->getInfFileHead();
        if (!infHead) return kTagReg;
        const CString base = infHead->getInfBaseName();
        if (base.IsEmpty()) return kTagReg;
        ver_file_data file;
        readVerFile(folderRoot + base + L"\\" + base + L".ver", file);
        if (!candidate->getInfFileTails() || !file.head) return kTagReg;
        infVersion = file.head->getInfVersion();
        swVersion = mediumSwVersion;
        if (!file.head->getComplete()) return kTagReg;
        ok = ok && modelCodesEqual(candidate->getModelCode(), file.head->getModelCode()) &&
             isSwVersionAccepted(candidate->getSwVersion(), file.head->getSwVersion());
        if (!ok || !allEntriesPresent(file, folderRoot, FALSE)) return kTagReg;
    }
    return kTagLastReg;
}
