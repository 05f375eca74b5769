#pragma once
// The self-update list as the service serves it: one file per line,
// "version|/path|size|crc32".
#include <windows.h>

#include <map>
#include <sstream>
#include <string>

namespace update_list {

struct Listed {
    std::string line;
    ULONGLONG size = 0;
    UINT32 crc = 0;
};

// Files by their listed path. Entries are assigned in place, so references
// a test holds into the map stay valid when it reads the list again.
inline void read(const std::string& text, std::map<std::string, Listed>& listed) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream fields(line);
        std::string version, path, size, crc;
        std::getline(fields, version, '|');
        std::getline(fields, path, '|');
        std::getline(fields, size, '|');
        std::getline(fields, crc, '|');
        listed[path] = {line, std::stoull(size), static_cast<UINT32>(std::stoul(crc))};
    }
}

}  // namespace update_list
