#pragma once
// One descriptor of a vehicle as the sign-in reply names it, and the
// vehicle's display data. The entry loads and owns its descriptor (head and
// entries) the first time anybody asks for it.
#include "descriptors/inf_file_tail.h"
#include "descriptors/integrity_words.h"

#include <atomic>
#include <list>
#include <vector>

class InfInfo {
public:
    InfInfo();
    ~InfInfo();
    InfInfo(const InfInfo&) = delete;
    InfInfo& operator=(const InfInfo&) = delete;

    // The descriptor head after up to four load attempts; null when none
    // succeeded. The attempts end early when run (may be null) is cleared,
    // and together take at most about a minute.
    InfFileHead* getInfFileHead(const std::atomic<bool>* run = nullptr);
    // The descriptor entries, loaded the same way; null when not loaded.
    InfFileTailMap* getInfFileTails(const std::atomic<bool>* run = nullptr);
    // One download-and-read attempt: 1 when the descriptor is loaded (at once
    // after an earlier success), 0 when this attempt failed. deadline is a
    // GetTickCount64 value (0 for none).
    int loadInfFile(const std::atomic<bool>* run = nullptr, ULONGLONG deadline = 0);
    // Reads a descriptor text that was fetched elsewhere, as a successful
    // download would: 1 on success, 0 for an empty text or one without a
    // single entry (an error page, a cut or mangled file), which leaves
    // the head empty.
    int readInfText(const CString& text);
    // Frees the descriptor's entries and empties its head.
    void releaseInfFile();
    // The descriptor's address: the INF folder URL with one trailing "/"
    // dropped, "/" and the INF file name.
    CString getInfFileUrl() const;

    void setInfFileName(const CString& v) { m_strInfFileName = v; }
    void setInfUrl(const CString& v) { m_strInfUrl = v; }
    void setCarName(const CString& v) { m_strCarName = v; }
    void setDeviceName(const CString& v) { m_strDeviceName = v; }
    void setVehicleImageName(const CString& v) { m_strVehicleImageName = v; }
    void setVehicleImageUrl(const CString& v) { m_strVehicleImageUrl = v; }
    void setGpsImageName(const CString& v) { m_strGpsImageName = v; }
    void setGpsImageUrl(const CString& v) { m_strGpsImageUrl = v; }
    void setModelCode(const CString& v) { m_strModelCode = v; }
    void setModelCodeList(const CString& v) { m_strModelCodeList = v; }
    void setBrandCode(const CString& v) { m_strBrandCode = v; }
    void setSwVersion(const CString& v) { m_strSwVersion = v; }
    void setSwVersionMask(const CString& v) { m_strSwVersionMask = v; }
    void setMediaType(const CString& v) { m_strMediaType = v; }
    void setCarNameIntl(const CString& v) { m_strCarNameIntl = v; }
    void setDeviceNameIntl(const CString& v) { m_strDeviceNameIntl = v; }
    void setMapUpdate(int v) { m_nMapUpdate = v; }
    void setSortNumber(int v) { m_nSortNumber = v; }
    void setGroup(BYTE v) { m_byGroup = v; }
    void setDeviceType(int v) { m_nDeviceType = v; }
    // 0 for a vehicle's first (common) descriptor, 1, 2, ... for its
    // model-specific ones.
    void setModelFlag(int v) { m_nModelFlag = v; }
    void setFirstDescriptor(InfInfo* v) { m_pFirstDescriptor = v; }
    void setMerged(BYTE v) { m_byMerged = v; }

    CString getInfFileName() const { return m_strInfFileName; }
    CString getInfUrl() const { return m_strInfUrl; }
    CString getCarName() const { return m_strCarName; }
    CString getDeviceName() const { return m_strDeviceName; }
    CString getVehicleImageName() const { return m_strVehicleImageName; }
    CString getVehicleImageUrl() const { return m_strVehicleImageUrl; }
    CString getGpsImageName() const { return m_strGpsImageName; }
    CString getGpsImageUrl() const { return m_strGpsImageUrl; }
    CString getModelCode() const { return m_strModelCode; }
    // The vehicle's model codes separated by "|".
    CString getModelCodeList() const { return m_strModelCodeList; }
    CString getBrandCode() const { return m_strBrandCode; }
    // Head-unit software versions the entry accepts, "|" between them.
    CString getSwVersion() const { return m_strSwVersion; }
    // One mask per software-version alternative, at the same position; "?"
    // stands for one digit, "*" for a run of letters and digits.
    CString getSwVersionMask() const { return m_strSwVersionMask; }
    // "SD" for an SD-card head unit.
    CString getMediaType() const { return m_strMediaType; }
    CString getCarNameIntl() const { return m_strCarNameIntl; }
    CString getDeviceNameIntl() const { return m_strDeviceNameIntl; }
    // 0 when the vehicle cannot receive a map update.
    int getMapUpdate() const { return m_nMapUpdate; }
    // Display order: larger first.
    int getSortNumber() const { return m_nSortNumber; }
    // 1 for the group listed ahead of all others.
    BYTE getGroup() const { return m_byGroup; }
    // Head-unit platform number.
    int getDeviceType() const { return m_nDeviceType; }
    int getModelFlag() const { return m_nModelFlag; }
    InfInfo* getFirstDescriptor() const { return m_pFirstDescriptor; }
    BYTE getMerged() const { return m_byMerged; }

    int getReadCount() const { return m_nReads.load(); }
    int getFailureCount() const { return m_nFailures.load(); }
    // HTTP status and worker result of the last download attempt.
    int getLastHttpStatus() const { return m_nLastHttpStatus; }
    int getLastWorkerResult() const { return m_nLastWorkerResult; }

    // Set by the sign-in reply reader as its last step for this entry.
    integrity_words m_guard;

private:
    InfFileTailMap* loadAttempts(const std::atomic<bool>* run);

    // The descriptor part; reaches the entry through the owner.
    InfInfo* m_pOwner;
    InfFileHead* m_pHead;
    InfFileTailMap* m_pTails;
    std::atomic<int> m_nReads{0};
    std::atomic<int> m_nFailures{0};
    int m_nLastHttpStatus = 0;
    int m_nLastWorkerResult = 0;
    int m_nModelFlag = 0;
    InfInfo* m_pFirstDescriptor = nullptr;

    CString m_strInfFileName;
    CString m_strInfUrl;
    int m_nMapUpdate = 0;
    CString m_strGpsImageName;
    CString m_strGpsImageUrl;
    CString m_strVehicleImageName;
    CString m_strVehicleImageUrl;
    CString m_strModelCodeList;
    CString m_strModelCode;
    CString m_strBrandCode;
    CString m_strCarName;
    CString m_strDeviceName;
    int m_nSortNumber = 0;
    CString m_strSwVersion;
    CString m_strSwVersionMask;
    CString m_strMediaType;
    int m_nDeviceType = 0;
    BYTE m_byGroup = 0;
    BYTE m_byMerged = 0;
    CString m_strCarNameIntl;
    CString m_strDeviceNameIntl;
};

// The text of a downloaded descriptor: the bytes up to the first zero byte,
// without a UTF-8 byte-order mark, in the thread's ANSI code page.
CString infTextFromBytes(const char* bytes, size_t count);

// The vehicles of one sign-in, with what the sign-in sent and received. An
// owning list (the default) frees its entries; a list made by
// filterByModelCode only refers to them.
class InfInfoList {
public:
    explicit InfInfoList(bool owning = true) : m_nOwning(owning ? 1 : 0) {}
    ~InfInfoList();
    InfInfoList(const InfInfoList&) = delete;
    InfInfoList& operator=(const InfInfoList&) = delete;

    // Places the entry: the group-1 entries first, then the others; within a
    // group by descending sort number, then ascending vehicle name; equal
    // keys keep their insertion order. The list takes the entry over.
    void insertSorted(InfInfo* entry);
    // A new, non-owning list of the entries whose model code equals code
    // (letter case ignored): common descriptors (model flag 0) in front,
    // model-specific ones at the back. The caller deletes the list.
    InfInfoList* filterByModelCode(const CString& code) const;
    // Frees the entries of an owning list and empties it.
    void clear();

    bool isOwning() const { return m_nOwning != 0; }
    size_t size() const { return m_list.size(); }
    bool empty() const { return m_list.empty(); }

    void setText1(const CString& v) { m_strText1 = v; }
    void setText2(const CString& v) { m_strText2 = v; }
    void setText3(const CString& v) { m_strText3 = v; }
    void setEncryptedId(const CString& v) { m_strEncryptedId = v; }
    void setEncryptedPassword(const CString& v) { m_strEncryptedPassword = v; }
    void setUserId(const CString& v) { m_strUserId = v; }
    void setPassword(const CString& v) { m_strPassword = v; }
    void setDealerCode(const CString& v) { m_strDealerCode = v; }
    void setUserType(int v) { m_nUserType = v; }
    void setCorp(int v) { m_nCorp = v; }

    // The reply's first text (empty for a non-member sign-in), second and
    // third text.
    CString getText1() const { return m_strText1; }
    CString getText2() const { return m_strText2; }
    CString getText3() const { return m_strText3; }
    CString getEncryptedId() const { return m_strEncryptedId; }
    CString getEncryptedPassword() const { return m_strEncryptedPassword; }
    CString getUserId() const { return m_strUserId; }
    CString getPassword() const { return m_strPassword; }
    CString getDealerCode() const { return m_strDealerCode; }
    int getUserType() const { return m_nUserType; }
    int getCorp() const { return m_nCorp; }

    // The entries in list order.
    std::list<InfInfo*> m_list;

private:
    int m_nOwning;
    CString m_strText1;
    CString m_strText2;
    CString m_strText3;
    CString m_strEncryptedId;
    CString m_strEncryptedPassword;
    CString m_strUserId;
    CString m_strPassword;
    CString m_strDealerCode;
    int m_nUserType = 0;
    int m_nCorp = 0;
};
