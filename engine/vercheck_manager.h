#pragma once
// The pre-check of the download folder before a run: what an earlier run
// left there (its version files, extracted files and pieces) decides which
// items need no new download (state 200 or 300) and which do (100; their
// old file is deleted). Afterwards the version files are written anew and
// whatever no item needs is removed from the descriptors' folders.
#include "descriptors/ver_file.h"
#include "foundation/observer_list.h"

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

class score_board;

// The text of a version file of the older generation: UTF-16 LE after a
// byte-order mark. FALSE for an empty or unreadable file or another start.
bool readUnicodeTextFile(CString& text, const CString& path);
// The text of a version file of the current generation: UTF-8 (a byte that
// is not part of valid UTF-8 reads as the character of its value). FALSE for
// an empty or unreadable file.
bool readByteTextFile(CString& text, const CString& path);

class vercheck_manager {
public:
    static vercheck_manager& getInstance();

    observer_list m_observers;

    // "\\" and "/" become "\".
    void setDownloadFolder(const CString& folder);
    CString getDownloadFolder() const;

    // The whole pre-check on the calling thread (one worker thread inside):
    // UM_TRANSFER_PHASE (TRANSFER_PHASE_CHECK) first, UM_CHECK_ITEM_DONE per
    // item, UM_CHECK_COMPLETE (0, 1) at the end. One check at a time.
    void checkMedium();
    // Stops a running check before its next item.
    void stop() { m_bRunning = false; }
    // Called on the check's thread after each item; empty in the program.
    // Set only while no check runs.
    std::function<void(InfFileUpdate*)> m_afterItem;
    bool isRunning() const { return m_bRunning.load(); }

    int runCheck();
    void enqueueItem(InfFileUpdate* item);
    void workerLoop();
    void checkItem(InfFileUpdate* item);
    // What the version files say of the item: its line's version (column
    // 2) and done mark (column 5); version 0 and not listed when no line.
    struct recorded_entry {
        bool listed = false;
        int version = 0;
        bool done = false;
    };
    recorded_entry findVerEntry(const InfFileUpdate* item);
    size_t buildKeepSet();
    void cleanFolder(const CString& folder);
    // The file the check leaves in a descriptor's folder that it made
    // itself (the folder was not there): only a folder with it and with its
    // own version file is cleaned. A folder of the user's of that name
    // never gets it, even once a run has written its version file there.
    static const wchar_t* ownFolderMark() { return L"folder.kestrune"; }
    // Makes the folder with its mark when it is not there; true when the
    // folder carries the mark.
    static bool markedAsOurs(const CString& folder);

    vercheck_manager(const vercheck_manager&) = delete;
    vercheck_manager& operator=(const vercheck_manager&) = delete;

private:
    vercheck_manager();

    struct caseless_less {
        bool operator()(const CString& a, const CString& b) const;
    };

    // The download folder\<name> a version file's items live in, or empty
    // when either part cannot be trusted to keep the walk in its place.
    CString cleanableFolder(const CString& verName) const;

    mutable std::mutex m_folderLock;
    CString m_strDownloadFolder;
    score_board* m_pBoard;

    std::mutex m_listLock;
    std::vector<std::unique_ptr<ver_file_data>> m_recorded;

    std::atomic<bool> m_bRunning{false};
    std::mutex m_checkLock;

    std::mutex m_queueLock;
    std::deque<InfFileUpdate*> m_queue;

    std::set<CString, caseless_less> m_keep;
    // Names whose folder the check made (its mark) and that held its own
    // version file before this check wrote one: only those are cleaned.
    std::set<CString, caseless_less> m_ownFolders;
};
