#pragma once
// The whole pipeline against this executable's stand-in instance: the
// vehicle of the engine scenario, the instance's request log and faults,
// and test children (this executable again, for a kill or a shut-down).
#include "descriptors/inf_info.h"

#include <functional>
#include <list>
#include <memory>
#include <string>

// Empty outside a stand-in instance.
CString standinHost();
CString instanceFolder();

#define REQUIRE_STANDIN()                                                              \
    do {                                                                               \
        if (standinHost().IsEmpty()) GTEST_SKIP() << "runs inside a stand-in instance"; \
    } while (0)

// Replaces the instance's fault rules (a JSON array), atomically.
bool setFaults(const std::string& rulesJson);
// Lines of the request log whose path contains the text.
int requestsFor(const std::string& pathPart);
size_t requestLogSize();
// The request lines from byte offset on whose path contains the text.
int requestsSince(size_t offset, const std::string& pathPart);

UINT32 crcOfFile(const CString& path);

// The vehicle "TS_PIPE.inf" of the engine scenario. Its destruction waits
// for the engine to let go (managers stopped, threads ended) and clears the
// item lists that point into its descriptor.
class PipelineVehicle {
public:
    PipelineVehicle();
    ~PipelineVehicle();
    std::list<InfInfo*> descriptors() { return {m_entry.get()}; }
    InfInfo* entry() { return m_entry.get(); }

private:
    std::unique_ptr<InfInfo> m_entry;
};

// Waits (bounded) until every worker slot and page thread of the engine is
// idle.
bool waitEngineIdle(DWORD ms);

// Runs this executable with the gtest filter and extra environment lines
// ("NAME=value"); returns its exit code, or kills it when
// killWhen() turns true first or the time runs out (exit code then ~0u).
DWORD runChild(const CString& filter, const std::list<CString>& environment, DWORD timeoutMs,
               const std::function<bool()>& killWhen = nullptr);
// The value of an environment variable of this process.
CString environmentValue(const wchar_t* name);
