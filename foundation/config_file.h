#pragma once
// "config.json" beside the program: a JSON object of text members, among
// them "LIVEUPDATE_URL" and "UPDATEFILE_PATH" of the self-update server.
// Read on the UI thread.
#include "afx/string.h"

#include <map>

class CConfigFile {
public:
    // The one process-wide object; its table stays empty until a load.
    static CConfigFile* getInstance();

    // Reads "config.json" from the program folder. FALSE when the file cannot
    // be read or is not a JSON object; the table then keeps what it held.
    bool load();
    // The same for a settings file at any path.
    bool loadFile(const CString& path);

    // The member's text; empty when the file lacks it.
    CString getValue(const CString& key) const;
    const std::map<CString, CString>& table() const { return m_table; }
    const char* fileName() const { return m_fileName; }

    CConfigFile(const CConfigFile&) = delete;
    CConfigFile& operator=(const CConfigFile&) = delete;

private:
    CConfigFile() = default;

    const char* m_fileName = "config.json";
    std::map<CString, CString> m_table;
};
