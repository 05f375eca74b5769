#pragma once
// Loads a settings text into CConfigFile for one test and puts the
// instance's config.json (or an empty table) back afterwards.
#include "foundation/config_file.h"
#include "tests/support/test_support.h"

#include <string>

class ScopedConfig {
public:
    explicit ScopedConfig(const std::string& json) {
        writeBytes(m_dir / L"config.json", json);
        CConfigFile::getInstance()->loadFile(m_dir / L"config.json");
    }
    ~ScopedConfig() {
        if (!CConfigFile::getInstance()->loadFile(moduleFolder() + L"config.json")) {
            writeBytes(m_dir / L"config.json", "{}");
            CConfigFile::getInstance()->loadFile(m_dir / L"config.json");
        }
    }
    ScopedConfig(const ScopedConfig&) = delete;
    ScopedConfig& operator=(const ScopedConfig&) = delete;

private:
    TempDir m_dir;
};
