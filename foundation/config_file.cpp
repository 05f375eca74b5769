#include "foundation/config_file.h"
#include "afx/file.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"

#include <json/json.h>
#include <shlwapi.h>

#include <exception>
#include <string>

namespace {

// A settings file is a few lines; anything this large is not one.
constexpr ULONGLONG kMaxFileBytes = 4 * 1024 * 1024;

bool readWholeFile(const CString& path, std::string& bytes) {
    CFile file;
    if (!file.Open(path.GetString(), CFile::modeRead | CFile::shareDenyWrite)) return false;
    try {
        ULONGLONG length = file.GetLength();
        if (length > kMaxFileBytes) return false;
        bytes.resize(static_cast<size_t>(length));
        UINT got = bytes.empty() ? 0 : file.Read(&bytes[0], static_cast<UINT>(bytes.size()));
        bytes.resize(got);
    } catch (CException* e) {
        e->Delete();
        return false;
    }
    return true;
}

CString fromUtf8(const std::string& text) {
    return MultiByteToWide(text.data(), CP_UTF8, static_cast<int>(text.size()));
}

}  // namespace

CConfigFile* CConfigFile::getInstance() {
    static CConfigFile instance;
    return &instance;
}

bool CConfigFile::load() {
    CString folder = CGlobalFunc::getModuleDirectory();
    if (folder.IsEmpty()) return false;
    wchar_t path[MAX_PATH] = {};
    if (!PathCombineW(path, folder.GetString(), CString(m_fileName).GetString())) return false;
    return loadFile(path);
}

bool CConfigFile::loadFile(const CString& path) {
    std::string text;
    if (!readWholeFile(path, text)) return false;
    // Windows editors like to start UTF-8 text with a byte-order mark.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    try {
        Json::Value root;
        Json::Reader reader;
        if (!reader.parse(text, root, false) || !root.isObject()) return false;
        auto table = std::make_shared<std::map<CString, CString>>();
        for (const std::string& name : root.getMemberNames()) {
            const Json::Value& value = root[name];
            // Numbers and flags read as their text; a list or an object has none.
            if (value.isArray() || value.isObject()) continue;
            (*table)[fromUtf8(name)] = fromUtf8(value.asString());
        }
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_table = std::move(table);
            ++m_generation;
        }
        m_emptyLogged = false;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::shared_ptr<const std::map<CString, CString>> CConfigFile::table() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_table;
}

CString CConfigFile::getValue(const CString& key) const {
    const auto current = table();
    if (current->empty()) {
        if (!m_emptyLogged.exchange(true)) {
            LOG_WRITE(L"[WARNING] configuration empty: %S not loaded or without members", m_fileName);
        }
        return CString();
    }
    auto it = current->find(key);
    return it == current->end() ? CString() : it->second;
}
