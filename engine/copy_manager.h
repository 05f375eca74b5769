#pragma once
// The copy to the medium: an ordinary item is one file, copied in 1 MiB
// write-through chunks (resumed at the length of a partial copy), given the
// source's times and verified by size and CRC-32; a self-contained package
// is copied as the folders its extraction produced.
#include "descriptors/inf_file_update.h"
#include "engine/score_board.h"
#include "engine/unzip_worker.h"
#include "foundation/observer_list.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <vector>

// Totals over the program's run, for the update page's time estimate:
// bytes of verified files, and the milliseconds spent writing and verifying
// them.
extern std::atomic<ULONGLONG> g_nCopiedBytes;
extern std::atomic<ULONGLONG> g_nCopyMillis;
extern std::atomic<ULONGLONG> g_nVerifyMillis;
// The size of a file above 1,536,000,000 bytes the copy began; 0 before.
extern std::atomic<ULONGLONG> g_nLargeCopyFileSize;
// 1 while the copy writes file data or a folder tree to the medium.
extern std::atomic<unsigned char> g_bCopyBusy;

class copy_manager {
public:
    static copy_manager* getInstance();

    // Copies one item; 1 when it was handled, 0 when invalid or stopped.
    // stop is the copy thread's running flag.
    int func_copy_Item(InfFileUpdate* item, const RunFlag* stop);
    bool func_copy_worker(InfFileUpdate* item, const RunFlag* stop);
    void copyPackageItem(InfFileUpdate* item, run_flags flags);
    // 1 when every file of the package's folders is on the medium and
    // checked; 0 on a failure or a stop (flags cleared).
    int copyPackageFolders(const CString& name, const CString& source, const CString& target, run_flags flags);
    int copyTree(const CString& source, const CString& target, run_flags flags);
    // What the copy of a package file compares: size and last-write time.
    struct tree_file {
        DWORD sizeHigh = 0;
        DWORD sizeLow = 0;
        FILETIME lastWrite{};
    };
    // Copies the files below source into the existing folder target (one
    // listing of each folder on both sides), each with copyTreeFile.
    bool copyFolder(const CString& source, const CString& target, run_flags flags);
    // Skips a file whose copy is on the medium (onMedium: same size and
    // time), else writes it (writeTreeFile) and reads it back past the
    // cache against the CRC of what was read; a copy that fails goes.
    bool copyTreeFile(const CString& source, const CString& target, const tree_file& file, const tree_file* onMedium,
                      run_flags flags);
    // One read of the source: written to the medium from its first byte
    // with the source's last-write time, its CRC-32 taken on the way.
    bool writeTreeFile(const CString& source, const CString& target, const FILETIME& lastWrite, UINT32& crc,
                       run_flags flags);
    void countTree(const CString& folder);
    bool createDirectoryTree(const CString& path, bool isFolder);
    // Repairs the medium of a file the platform reports corrupt, with the
    // system's disk checker; true when the damaged file is gone afterwards.
    bool runDiskCheck(const CString& path);
    void setBasePath(const CString& path);
    CString getBasePath();
    // End of the copy phase.
    void notifyFinished();
    // Before a run writes the medium's version files: which partial files
    // on the medium an interrupted earlier run left of the very files this
    // run copies (their entries: this version, CRC and size, not done).
    // Forgets the files the last run began. verFiles are the medium's
    // version files; without, those the version-file list names.
    void rememberResumableCopies();
    void rememberResumableCopies(const std::vector<CString>& verFiles);
    static bool copyFileTime(HANDLE source, HANDLE target);
    // The shares of copying and verifying in the copy progress, from the
    // measured totals.
    static void progressShares(ULONGLONG copyMillis, ULONGLONG verifyMillis, double& copyShare, double& verifyShare);

    // A seam at the file operations of the copy: called before each
    // "seek", "read" and "write" with the path; a non-zero Windows error
    // makes that operation fail with it. Empty in the program.
    using file_fault = std::function<DWORD(const wchar_t* step, const CString& path)>;
    static void setFileFault(file_fault fault);
    // The seam's answer for step and path (0 when none is set); the package
    // copy calls it with "tree-copy" once a file is copied.
    static DWORD fileFault(const wchar_t* step, const CString& path);

    observer_list m_observers;
    CString m_strDownloadFolder;
    score_board* m_pBoard = nullptr;         // board 0
    score_board* m_pPackageBoard = nullptr;  // board 4
    RunFlag m_bActive{false};

    copy_manager(const copy_manager&) = delete;
    copy_manager& operator=(const copy_manager&) = delete;

private:
    copy_manager();
    // The item's path on the medium.
    CString mediumPath(InfFileUpdate* item);
    bool alreadyCopied(InfFileUpdate* item, const CString& target, run_flags flags, bool& stopped);
    bool copyFileData(InfFileUpdate* item, const CString& source, const CString& target, run_flags flags,
                      double copyShare, LONG& fileError);

    // A shorter file at target is resumed only when it is this item's own:
    // begun by this run, or left by an interrupted earlier run of the same
    // version with the source's times the copy gives every file it stops.
    // Anything else of that name (another version) is replaced from byte 0.
    bool mayResume(InfFileUpdate* item, const CString& source, const CString& target);
    void noteBegun(const CString& target);

    std::mutex m_baseLock;
    CString m_strBasePath;

    struct resumable_copy {
        CString name;
        int version = 0;
        int crc = 0;
        ULONGLONG size = 0;
    };
    std::mutex m_resumeLock;
    std::vector<resumable_copy> m_resumable;
    // Upper-cased targets this run opened.
    std::set<CString> m_begun;
};
