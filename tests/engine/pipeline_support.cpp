#include "tests/engine/pipeline_support.h"

#include "descriptors/ver_file.h"
#include "engine/engine_control.h"
#include "engine/function_manager.h"
#include "engine/worker_manager.h"
#include "foundation/config_file.h"
#include "tests/support/test_support.h"

#include <zlib.h>

#include <functional>
#include <vector>

CString environmentValue(const wchar_t* name) {
    wchar_t buffer[1024] = {};
    DWORD n = GetEnvironmentVariableW(name, buffer, 1024);
    return n == 0 || n >= 1024 ? CString() : CString(buffer);
}

CString instanceFolder() {
    CString folder = environmentValue(L"KESTRUNE_STANDIN_WIN");
    return folder.IsEmpty() ? folder : folder + L"\\";
}

CString standinHost() {
    static const bool loaded =
        !instanceFolder().IsEmpty() && CConfigFile::getInstance()->loadFile(moduleFolder() + L"config.json");
    return loaded ? CConfigFile::getInstance()->getValue(L"API_HOST") : CString();
}

bool setFaults(const std::string& rulesJson) {
    const CString target = instanceFolder() + L"faults.json";
    const CString temporary = target + L".tmp";
    return writeBytes(temporary, rulesJson) &&
           MoveFileExW(temporary.GetString(), target.GetString(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

namespace {

int countPaths(const std::string& log, size_t from, const std::string& pathPart) {
    int count = 0;
    size_t lineStart = from;
    while (lineStart < log.size()) {
        size_t end = log.find('\n', lineStart);
        if (end == std::string::npos) break;  // a line still being written
        const std::string line = log.substr(lineStart, end - lineStart);
        size_t path = line.find("\"path\": \"");
        if (path != std::string::npos) {
            size_t close = line.find('"', path + 9);
            if (line.substr(path + 9, close - path - 9).find(pathPart) != std::string::npos) ++count;
        }
        lineStart = end + 1;
    }
    return count;
}

}  // namespace

int requestsFor(const std::string& pathPart) {
    return countPaths(readBytes(instanceFolder() + L"requests.jsonl"), 0, pathPart);
}

size_t requestLogSize() {
    return readBytes(instanceFolder() + L"requests.jsonl").size();
}

int requestsSince(size_t offset, const std::string& pathPart) {
    return countPaths(readBytes(instanceFolder() + L"requests.jsonl"), offset, pathPart);
}

UINT32 crcOfFile(const CString& path) {
    std::string bytes = readBytes(path);
    return static_cast<UINT32>(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

PipelineVehicle::PipelineVehicle() : m_entry(std::make_unique<InfInfo>()) {
    m_entry->setInfUrl(L"https://" + standinHost() + L"/contents/inf/");
    m_entry->setInfFileName(L"TS_PIPE.inf");
    m_entry->setModelCode(L"P01");
    m_entry->setModelFlag(0);
    m_entry->setFirstDescriptor(m_entry.get());
    m_entry->setSwVersion(L"KOR.TS.P01.000.SD.STD_240601");
    m_entry->setBrandCode(L"TS");
    m_entry->m_guard.set();
}

PipelineVehicle::~PipelineVehicle() {
    engine_control::stopManagers();
    waitEngineIdle(30000);
    function_manager::getInstance()->reset();
    ver_file_list::getInstance().clear();
    InfFileUpdateList::getInstance().clear();
}

bool waitEngineIdle(DWORD ms) {
    const ULONGLONG deadline = GetTickCount64() + ms;
    while (!engine_control::isIdle()) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(20);
    }
    return true;
}

DWORD runChild(const CString& filter, const std::list<CString>& environment, DWORD timeoutMs,
               const std::function<bool()>& killWhen) {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    CString command;
    command.Format(L"\"%s\" --gtest_color=no --gtest_also_run_disabled_tests --gtest_filter=%s", exe,
                   filter.GetString());

    // The parent's environment plus the extra lines, as one block.
    std::vector<wchar_t> block;
    wchar_t* own = GetEnvironmentStringsW();
    for (const wchar_t* p = own; *p; p += wcslen(p) + 1) block.insert(block.end(), p, p + wcslen(p) + 1);
    FreeEnvironmentStringsW(own);
    for (const CString& line : environment) {
        block.insert(block.end(), line.GetString(), line.GetString() + line.GetLength());
        block.push_back(0);
    }
    block.push_back(0);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::vector<wchar_t> line(command.GetString(), command.GetString() + command.GetLength() + 1);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT, block.data(),
                        nullptr, &startup, &process)) {
        return ~0u - 1;
    }
    CloseHandle(process.hThread);
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    DWORD code = ~0u;
    for (;;) {
        if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process.hProcess, &code);
            break;
        }
        if ((killWhen && killWhen()) || GetTickCount64() >= deadline) {
            TerminateProcess(process.hProcess, ~0u);
            WaitForSingleObject(process.hProcess, 10000);
            code = ~0u;
            break;
        }
    }
    CloseHandle(process.hProcess);
    return code;
}
