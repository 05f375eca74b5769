#include "tests/webclient/standin_client.h"
#include "afx/afx.h"
#include "foundation/config_file.h"
#include "tests/support/test_support.h"
#include "webclient/download_worker.h"

#include <shlwapi.h>
#include <zlib.h>

#include <fstream>
#include <sstream>

namespace standin {

namespace {

CString instanceFolder() {
    wchar_t buffer[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableW(L"KESTRUNE_STANDIN_WIN", buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return CString();
    CString folder(buffer);
    if (folder.Right(1) != L"\\") folder += L"\\";
    return folder;
}

size_t g_mark = 0;

std::vector<std::string> logLines() {
    std::string text = readBytes(instanceFolder() + L"requests.jsonl");
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    // A last line without its line feed is still being written.
    while (std::getline(in, line)) {
        if (in.eof()) break;
        lines.push_back(line);
    }
    return lines;
}

std::string narrow(const CString& text) {
    return std::string(CStringA(text).GetString());
}

}  // namespace

bool available() {
    static const bool loaded = !instanceFolder().IsEmpty() &&
                               CConfigFile::getInstance()->loadFile(moduleFolder() + L"config.json");
    return loaded;
}

CString config(const char* key) {
    available();
    return CConfigFile::getInstance()->getValue(CString(key));
}

CString host() {
    return config("API_HOST");
}

CString url(const CString& path) {
    return L"https://" + host() + path;
}

void setFaults(const std::string& rulesJson) {
    CString target = instanceFolder() + L"faults.json";
    CString temp = target + L".tmp";
    writeBytes(temp, rulesJson);
    MoveFileExW(temp.GetString(), target.GetString(), MOVEFILE_REPLACE_EXISTING);
}

void clearFaults() {
    setFaults("[]");
}

void markRequests() {
    g_mark = logLines().size();
}

std::vector<Json::Value> requests(const char* pathPattern) {
    std::vector<Json::Value> out;
    std::vector<std::string> lines = logLines();
    for (size_t i = g_mark; i < lines.size(); ++i) {
        Json::Value entry;
        Json::Reader reader;
        if (!reader.parse(lines[i], entry) || !entry.isMember("path")) continue;
        CString path(entry["path"].asString().c_str());
        if (PathMatchSpecW(path.GetString(), CString(pathPattern).GetString())) out.push_back(entry);
    }
    return out;
}

std::vector<Json::Value> requestsAtLeast(const char* pathPattern, size_t count) {
    std::vector<Json::Value> found = requests(pathPattern);
    for (int i = 0; i < 100 && found.size() < count; ++i) {
        Sleep(50);
        found = requests(pathPattern);
    }
    return found;
}

std::string header(const Json::Value& entry, const char* name) {
    const Json::Value& headers = entry["headers"];
    for (const std::string& key : headers.getMemberNames()) {
        if (_stricmp(key.c_str(), name) != 0) continue;
        const Json::Value& v = headers[key];
        return v.isArray() ? v[0].asString() : v.asString();
    }
    return std::string();
}

bool descriptorEntry(const CString& inf, const CString& name, Expected& out) {
    download_worker worker(url(L"/contents/inf/" + inf));
    std::string text;
    bool ok = worker.remote_file_download_tls(0, nullptr, [&](const BYTE* data, UINT32 count) {
        if (data && count) text.append(reinterpret_cast<const char*>(data), count);
        return 1;
    });
    if (!ok) return false;
    std::istringstream in(text);
    std::string line, size, crc;
    bool inEntry = false;
    const std::string wanted = "AG_ZIPNAME=" + narrow(name);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            if (inEntry) break;
            size.clear();
            crc.clear();
            continue;
        }
        if (line == wanted) inEntry = true;
        if (line.rfind("AG_ZIPSIZE=", 0) == 0) size = line.substr(11);
        if (line.rfind("AG_FILECRC=", 0) == 0) crc = line.substr(11);
    }
    if (!inEntry || size.empty() || crc.empty()) return false;
    out.size = std::stoull(size);
    out.crc = static_cast<UINT32>(std::stoul(crc));
    return true;
}

UINT32 crc32Of(const std::string& bytes) {
    return static_cast<UINT32>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

}  // namespace standin
