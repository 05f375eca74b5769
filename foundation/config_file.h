#pragma once
// "config.json" beside the program: a JSON object of text members, among
// them "LIVEUPDATE_URL" and "UPDATEFILE_PATH" of the self-update server.
// Safe to read from any thread: a load builds a new table and publishes it
// whole, so a reader sees the old table or the new one, never a mix.
#include "afx/string.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>

class CConfigFile {
public:
    // The one process-wide object; its table stays empty until a load.
    static CConfigFile* getInstance();

    // Reads "config.json" from the program folder. FALSE when the file cannot
    // be read or is not a JSON object; the table then keeps what it held.
    bool load();
    // The same for a settings file at any path.
    bool loadFile(const CString& path);

    // The member's text; empty when the file lacks it. An empty table is
    // logged once.
    CString getValue(const CString& key) const;
    // The table as last published (shared, never changed afterwards).
    std::shared_ptr<const std::map<CString, CString>> table() const;
    // Grows with every successful load: readers that derive settings from
    // the table rebuild them when it changed.
    unsigned generation() const { return m_generation.load(); }
    const char* fileName() const { return m_fileName; }

    CConfigFile(const CConfigFile&) = delete;
    CConfigFile& operator=(const CConfigFile&) = delete;

private:
    CConfigFile() = default;

    const char* m_fileName = "config.json";
    mutable std::mutex m_lock;  // guards the pointer, not the table it names
    std::shared_ptr<const std::map<CString, CString>> m_table = std::make_shared<std::map<CString, CString>>();
    std::atomic<unsigned> m_generation{0};
    mutable std::atomic<bool> m_emptyLogged{false};
};
