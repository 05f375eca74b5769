#pragma once
// The maker's version markers and model-equivalence table that the
// head-unit compatibility rules use. They belong to the maker's version
// scheme, so they are configuration: members of "config.json" beside the
// program (read through CConfigFile), in one place here.
//
//   "SWVER_PRODUCTION_MARKER"    first production marker (16 characters; its
//                                first 13 characters serve as a prefix)
//   "SWVER_PRODUCTION_MARKER_2"  second production marker (18 characters)
//   "SWVER_REGION_MARKER_LONG"   regional production marker (11 characters)
//   "SWVER_REGION_MARKER_SHORT"  its regional twin (10 characters)
//   "MODEL_EQUIVALENCE"          groups of model codes, groups separated by
//                                "|", codes by ","; a group's first code is
//                                its primary: "101,102|201,202,203"
//   "MODEL_FALLBACK"             the model code for head units whose version
//                                carries the first production marker
//   "MODEL_FALLBACK_PREFIX"      the one for head units whose version carries
//                                only the marker's 13-character prefix
// An absent member leaves its rule without effect (an empty marker matches
// nothing, an empty table makes no model equivalent).
#include "afx/string.h"

#include <map>
#include <memory>
#include <vector>

struct sw_compat_config {
    CString productionMarker;
    CString productionMarker2;
    CString regionMarkerLong;
    CString regionMarkerShort;
    std::vector<std::vector<CString>> equivalenceGroups;
    CString fallbackModel;
    CString fallbackModelPrefix;

    // The first production marker's first 13 characters.
    CString productionPrefix() const { return productionMarker.Left(13); }

    static sw_compat_config fromTable(const std::map<CString, CString>& table);
    // The configuration of the settings file as last loaded; rebuilt when a
    // later load replaced the table. Safe from any thread.
    static std::shared_ptr<const sw_compat_config> current();
};
