#pragma once
// The test's view of its stand-in instance: the hosts from config.json
// beside the executable, fault rules and the request log in the instance
// folder (KESTRUNE_STANDIN_WIN).
#include "afx/string.h"

#include <json/json.h>

#include <string>
#include <vector>

namespace standin {

// Loads config.json into CConfigFile once; false when the test runs without
// an instance.
bool available();
CString config(const char* key);
CString host();  // API_HOST
// "https://<host>" + path.
CString url(const CString& path);

// Replaces the fault rules (a JSON list) for the next requests.
void setFaults(const std::string& rulesJson);
void clearFaults();

// Request log entries whose path matches pathPattern (shell style), in order.
std::vector<Json::Value> requests(const char* pathPattern);
// The same, waiting (up to five seconds) until at least `count` entries are
// there: a loaded machine can run the client's next step before the
// stand-in's thread has appended its line.
std::vector<Json::Value> requestsAtLeast(const char* pathPattern, size_t count);
// Marks the log's present end: requests() then only reports later entries.
void markRequests();

// The value of a request header, empty when absent.
std::string header(const Json::Value& entry, const char* name);

// Size and CRC-32 of a file of the content host, as its descriptor lists
// them ("AG_ZIPSIZE", "AG_FILECRC" of the entry whose "AG_ZIPNAME" is name).
struct Expected {
    ULONGLONG size = 0;
    UINT32 crc = 0;
};
bool descriptorEntry(const CString& inf, const CString& name, Expected& out);

UINT32 crc32Of(const std::string& bytes);

}  // namespace standin

#define REQUIRE_STANDIN()                                                   \
    do {                                                                    \
        if (!standin::available()) GTEST_SKIP() << "no stand-in instance"; \
    } while (0)
