#pragma once
// Update items: a snapshot of one descriptor entry with the item's transfer
// state, plus every name the transfer needs (download URLs of the file and
// of the pieces of a split package, local paths of file, package and
// pieces). All items of the running update live in InfFileUpdateList.
//
// Split pieces of a package PKG.zip in three pieces:
//   piece  on the content host  on the local disk
//   0      PKG001.zip           PKG.000
//   1      PKG002.zip           PKG.001
//   2      PKG003.zip           PKG.zip
// The host counts from 1 and keeps the extension; the local copy counts from
// 0 and names the last piece like the package, the volume naming the zip
// reader opens.
#include "descriptors/inf_file_tail.h"
#include "descriptors/integrity_words.h"
#include "descriptors/update_item_engine.h"

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

// Transfer states, advanced by the transfer engine.
enum {
    ITEM_STATE_NEW = 1,
    ITEM_STATE_CHECKING = 2,
    ITEM_STATE_DOWNLOAD_READY = 100,
    ITEM_STATE_DOWNLOADING = 101,
    ITEM_STATE_DOWNLOAD_FAILED = 102,
    ITEM_STATE_DOWNLOADED = 200,
    ITEM_STATE_UNZIPPING = 201,
    ITEM_STATE_UNZIP_FAILED = 202,
    ITEM_STATE_UNZIPPED = 300,
    ITEM_STATE_COPYING = 301,
    ITEM_STATE_COPY_FAILED = 302,
    ITEM_STATE_COPIED = 303,
};

// Largest file an item may describe (128 GiB, inclusive).
constexpr LONGLONG kMaxItemFileSize = 137438953472LL;

class InfFileUpdate {
public:
    InfFileUpdate() = default;
    InfFileUpdate(const InfFileUpdate&) = delete;
    InfFileUpdate& operator=(const InfFileUpdate&) = delete;

    // Fills the item from the entry. FALSE when the entry carries its error
    // flag (usable becomes 2), its size lies outside 0 to 128 GiB, its source
    // URL is empty, or a server-given name would leave its folder.
    bool init(InfFileTail* entry, const CString& folder);

    CString getFileUrl() const;
    // URL of piece n (0-based).
    CString getPartUrl(int n) const;
    // root\destination\name of piece n.
    CString getPartPath(const CString& root, int n) const;
    CString getZipPath(const CString& root) const;
    CString getFilePath(const CString& root) const;
    CString getFileName() const { return m_strFileName; }
    // The zip size of a package with pieces, else the file size.
    LONGLONG getDownloadSize() const { return m_nPieces != 0 ? m_nZipSize : m_nFileSize; }
    void setDestPath(const CString& path) { m_strDestPath = path; }

    InfFileTail* getEntry() const { return m_pEntry; }
    CString getFolder() const { return m_strFolder; }
    CString getSourceUrl() const { return m_strSourceUrl; }
    CString getDestPath() const { return m_strDestPath; }
    CString getZipName() const { return m_strZipName; }
    LONGLONG getFileSize() const { return m_nFileSize; }
    LONGLONG getZipSize() const { return m_nZipSize; }
    int getNumSpan() const { return m_nPieces; }
    UINT32 getFileCrc() const { return m_nCrc; }
    int getVer() const { return m_nVersion; }

    integrity_words m_guard;
    // Always 2 for an item built from a descriptor entry.
    int m_nKind = 0;
    // One of ITEM_STATE_*; written and read by the engine's threads.
    std::atomic<int> m_nState{0};
    // 1 = may be transferred; 2 = the entry carries its error flag.
    int m_nUsable = 0;

private:
    CString buildUrl(const CString& fileName) const;

    InfFileTail* m_pEntry = nullptr;
    CString m_strFolder;
    CString m_strSourceUrl;
    CString m_strDestPath;
    CString m_strFileName;
    CString m_strZipName;
    LONGLONG m_nFileSize = 0;
    LONGLONG m_nZipSize = 0;
    int m_nPieces = 0;
    UINT32 m_nCrc = 0;
    int m_nVersion = 0;
};

// The destination with its first folder (the descriptor's base name)
// replaced by folder wherever that text occurs; a destination without a
// separator becomes the folder alone, one that starts with a separator
// stays as it is.
CString replaceDestinationRoot(const CString& destination, const CString& folder);

// FALSE for a server-given name or folder that could leave the folder it is
// placed under or reach a device: a ".." level, a drive or stream colon, a
// leading "\\", a reserved device name or a control character.
bool isContainedName(const CString& name);

// The process-wide list of the running update's items, in the order they
// were added. It owns the items; they point at descriptor entries, so the
// vehicle list must outlive them.
class InfFileUpdateList {
public:
    using Visitor = std::function<bool(int, InfFileUpdate*)>;

    static InfFileUpdateList& getInstance();

    // Builds an item from the entry and queues it; an entry that fails to
    // make an item is left out.
    void add(InfFileTail* entry, const CString& folder);
    // Calls visit for the queued items in order until it returns false, then
    // keeps the calling thread's messages flowing for 100 ms. The last
    // result of visit, false for an empty queue. Not to overlap a rebuild.
    bool forEach(const Visitor& visit);
    // Drops the engine's pending tasks of every item and frees the items.
    void clear();

    InfFileUpdate* findByEntry(const InfFileTail* entry) const;
    InfFileTail* findEntry(const InfFileUpdate* item) const;
    size_t size() const { return m_queue.size(); }
    // The item at a position of the queue, null past its end. For the
    // transfer engine, which walks the queue under its task mutex.
    InfFileUpdate* at(size_t index) const { return index < m_queue.size() ? m_queue[index] : nullptr; }

    // The transfer engine plugs in here (see update_item_engine.h); null
    // goes back to the list's own mutex.
    void attachEngine(update_item_engine* engine);

    InfFileUpdateList(const InfFileUpdateList&) = delete;
    InfFileUpdateList& operator=(const InfFileUpdateList&) = delete;

private:
    InfFileUpdateList() = default;
    ~InfFileUpdateList();

    void lockTasks();
    void unlockTasks();

    std::map<const InfFileTail*, InfFileUpdate*> m_itemsByEntry;
    std::map<const InfFileUpdate*, InfFileTail*> m_entriesByItem;
    std::vector<InfFileUpdate*> m_queue;

    update_item_engine* m_pEngine = nullptr;
    std::mutex m_ownLock;
};
