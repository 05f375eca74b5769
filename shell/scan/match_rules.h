#pragma once
// The rules by which a medium's version texts are matched against vehicle
// entries. Pure functions of their arguments (and of the files they are
// told to look at); the lists and entries stay owned by their callers.
#include "descriptors/inf_info.h"
#include "descriptors/ver_file.h"

#include <vector>

// TRUE where member sign-in and the logout button are unavailable: ME, NZ,
// BR, CA, AU and TR for every brand, RU for TS and DR.
BOOL isRestrictedRegion(int region, int corp);

// TRUE when one "|"-separated alternative of pattern (empty ones skipped)
// equals version, letter case ignored.
BOOL isSwVersionAccepted(const CString& pattern, const CString& version);

// Model codes are three digits on the medium but not always in a reply:
// they are compared as integers only when both are all digits ("007" is
// "7"), otherwise as texts ignoring case; an empty code matches nothing.
bool modelCodesEqual(const CString& a, const CString& b);

// The first entry that accepts the head unit's version (brand allowances
// included) is the match; an equivalent-model group may replace it and adds
// its other entries to extras. 1 with the match, 0 with a null match.
int matchBySwVersion(const InfInfoList* list, const CString& version, InfInfo*& match,
                     std::vector<InfInfo*>& extras);
// The first common entry whose model code equals the head's.
int matchByModelCode(const ver_file_head* head, const InfInfoList* list, InfInfo*& match);
// The first common entry whose INF file name without ".inf" equals the
// head's field 3 (the .ver name of a first-layout file), case-sensitive.
int matchByInfName(const ver_file_head* head, const InfInfoList* list, InfInfo*& match);

// The size column of an entry line: signed 64-bit decimal; a text holding
// "-" gives the negated value of its digits.
LONGLONG verEntrySize(const ver_file_entry& entry);

// TRUE when every entry of the file lies under root (a drive letter when
// isDrive, made "X:\", else a folder) with exactly its recorded size. The
// head unit's own programs count as present without a look. A file with no
// entries is complete.
BOOL allEntriesPresent(const ver_file_data& file, const CString& root, BOOL isDrive);

// Rebuilds target as source's tails followed by its own, renumbered from 0.
void mergeTailMaps(InfFileTailMap* target, const InfFileTailMap* source);

// Joins a vehicle's common and model descriptor parts in a list made by
// InfInfoList::filterByModelCode (which does not own its entries): the
// first entry whose base name equals its device name gets the tails of the
// last entry before it in front of its own, once (the merged flag keeps a
// second call from adding them again: every added tail becomes an update
// item), and the list's last element is dropped from the list.
void mergeInfTails(InfInfoList* list);

// The head unit's identifier from the names under
// "<driveRoot>\Data\Common\Configuration\": "XX-XX-XX-XX-XX-XX", upper case;
// empty when no name qualifies. TRUE when not empty.
BOOL readConfigurationId(const CString& driveRoot, CString& id);
