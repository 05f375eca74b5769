#pragma once
// Which vehicle wrote the media: the head unit's software-version file or
// the ".ver" files of an earlier update, matched against the account's
// vehicles and, failing that, against the brands' guest catalogues. Runs on
// the UI thread without touching a window: the root applies the outcome
// (registration page, message 1002, the login page's last vehicle).
#include "descriptors/inf_info.h"
#include "shell/scan/guest_catalog.h"

#include <memory>
#include <vector>

// The root's members that a scan writes.
struct MediumScanState {
    BOOL m_bMediumOtherCorp = FALSE;
    int m_nMediumCorp = 0;
    int m_nAccountCorp = 0;
    int m_nMediumVerCorp = 0;
    CString m_strMediumModelCode;
    BOOL m_bMediumUnmatched = FALSE;
    CString m_strMediumSwVersion;
};

struct MediumScanInput {
    // The roots of the drives ("X:\"); visited from the highest to the
    // lowest, so the lowest letter's match is the one kept.
    std::vector<CString> roots;
    // The signed-in account's vehicles, with its user ID, type and brand.
    // Never freed or replaced by the scan.
    InfInfoList* account = nullptr;
    CString clientGuid;
    GuestCatalogRequest requestCatalog = requestGuestCatalog;
};

struct MediumScanOutcome {
    // 1 when a vehicle matched or a software-version medium was seen.
    int result = 0;
    // For the registration page (setCarInfo); null for none.
    InfInfo* carInfo = nullptr;
    // The medium already holds this vehicle's complete update.
    bool lastReg = false;
    // A software version of another brand's vehicle: the login page selects
    // its saved last vehicle.
    bool selectLastVehicle = false;
    // Message 1002's parameters when the version fits several vehicles:
    // 0 the count of names, then the Korean and the other-language names.
    std::vector<CString> matchedParams;
};

// Catalogues that hold the outcome's entries are appended to retired (the
// frame's list, which outlives every page that keeps such an entry); every
// other catalogue fetched is freed before the scan returns.
MediumScanOutcome scanVerFiles(const MediumScanInput& input, MediumScanState& state,
                               std::vector<std::unique_ptr<InfInfoList>>& retired);

// The destination tag of a medium for an entry: "lastreg" when the drive's
// version file shows this vehicle's complete update, else "reg".
CString readRegVer(InfInfo* entry, const CString& driveOrRoot, const InfInfoList* account);

// The same for an earlier download in the download folder dataPath. The
// head's versions go to infVersion and swVersion (the latter is the
// medium's, mediumSwVersion) once a complete file has been read.
CString readLastReg(InfInfo* entry, const InfInfoList* account, const CString& dataPath,
                    const CString& mediumSwVersion, CString& infVersion, CString& swVersion);
