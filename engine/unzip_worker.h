#pragma once
// The checks of an unpacked or copied file (size, CRC-32) and the listing
// and extraction of an archive, with a code for the last failure. Made on
// the stack for each use.
#include "afx/string.h"
#include "engine/score_board.h"
#include "webclient/internet_worker.h"
#include "ziparchive/ziparchive.h"

#include <functional>
#include <vector>

enum {
    UNZIP_ERROR_STOPPED = 1,
    UNZIP_ERROR_NO_FILE = 100,
    UNZIP_ERROR_OPEN = 101,
    UNZIP_ERROR_EXTRACT = 102,
    CRC_ERROR_READ = 1000,
    CRC_ERROR_MISMATCH = 1001,
    SIZE_ERROR_READ = 2000,
    SIZE_ERROR_MISMATCH = 2001,
};

// Both flags must stay set for work to go on; a null flag counts as set.
struct run_flags {
    const RunFlag* first = nullptr;
    const RunFlag* second = nullptr;
    bool running() const { return (!first || *first) && (!second || *second); }
};

// The user data of an extraction's progress callback. The entry's counted
// bytes are summed here in 64 bits (the archive's running sum is 32-bit).
struct unzip_progress {
    run_flags flags;
    score_board* board = nullptr;
    LONGLONG entryBytes = 0;
};

// ZipCallback: counts compressed bytes into the board; when the flags are
// cleared it takes the entry's counted bytes back and stops.
bool unzipProgressCallback(int chunkBytes, int totalBytes, void* userData);

struct unzip_entry {
    CString name;
    ULONGLONG size = 0;
};

class unzip_worker {
public:
    using EntryFunction = std::function<bool(const CString& name, ULONGLONG size)>;

    bool unzip_open(std::vector<unzip_entry>* entries, CZipArchive& archive, const CString& path);
    // Every entry into folder. A per-entry function that answers false
    // stops the extraction: a failure with code 1.
    bool unzip(CZipArchive& archive, const CString& folder, const EntryFunction& perEntry, run_flags flags,
               score_board* board);
    bool crc_calc_unzip(const CString& path, UINT32& crc, run_flags flags);
    bool crc_check_unzip(const CString& path, UINT32 expected, run_flags flags);
    // The medium's read-back: unbuffered. Counts bytes x scale into the
    // board while it reads; a stop gives code 1 (no verdict).
    bool crc_check_copy(const CString& path, UINT32 expected, score_board* board, double scale, run_flags flags);
    // With packageSkip a self-contained package passes unseen.
    bool file_size_check(const CString& path, ULONGLONG expected, bool packageSkip);
    static bool getFileSize(const CString& path, ULONGLONG& size);

    int m_nErrorCode = 0;
    int m_nStopFlag = 0;

private:
    // unbuffered: read past the system cache (FILE_FLAG_NO_BUFFERING), so
    // that what is checked is what the medium holds, not what was handed
    // to it.
    bool crcOfFile(const CString& path, UINT32& crc, run_flags flags, int openAttempts, bool logOpen,
                   score_board* board, double scale, DWORD block, bool unbuffered = false);
};
