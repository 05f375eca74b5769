#include "descriptors/sw_compat_config.h"

#include "foundation/config_file.h"

#include <mutex>

namespace {

CString member(const std::map<CString, CString>& table, const wchar_t* key) {
    auto found = table.find(key);
    if (found == table.end()) return CString();
    CString value = found->second;
    value.Trim();
    return value;
}

}  // namespace

sw_compat_config sw_compat_config::fromTable(const std::map<CString, CString>& table) {
    sw_compat_config config;
    config.productionMarker = member(table, L"SWVER_PRODUCTION_MARKER");
    config.productionMarker2 = member(table, L"SWVER_PRODUCTION_MARKER_2");
    config.regionMarkerLong = member(table, L"SWVER_REGION_MARKER_LONG");
    config.regionMarkerShort = member(table, L"SWVER_REGION_MARKER_SHORT");
    config.fallbackModel = member(table, L"MODEL_FALLBACK");
    config.fallbackModelPrefix = member(table, L"MODEL_FALLBACK_PREFIX");

    CString groups = member(table, L"MODEL_EQUIVALENCE");
    int groupPos = 0;
    for (CString group = groups.Tokenize(L"|", groupPos); groupPos >= 0; group = groups.Tokenize(L"|", groupPos)) {
        std::vector<CString> codes;
        int codePos = 0;
        for (CString code = group.Tokenize(L",", codePos); codePos >= 0; code = group.Tokenize(L",", codePos)) {
            code.Trim();
            if (!code.IsEmpty()) codes.push_back(code);
        }
        if (!codes.empty()) config.equivalenceGroups.push_back(codes);
    }
    return config;
}

std::shared_ptr<const sw_compat_config> sw_compat_config::current() {
    static std::mutex lock;
    static std::shared_ptr<const sw_compat_config> cached;
    static unsigned cachedGeneration = 0;
    CConfigFile* file = CConfigFile::getInstance();
    std::lock_guard<std::mutex> guard(lock);
    const unsigned generation = file->generation();
    if (!cached || generation != cachedGeneration) {
        // The generation is read before the table: a load in between makes
        // the next call rebuild again, never keep a stale table.
        cached = std::make_shared<const sw_compat_config>(fromTable(*file->table()));
        cachedGeneration = generation;
    }
    return cached;
}
