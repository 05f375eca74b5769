#pragma once
// The entries of a read INF descriptor: one per file section, answering the
// per-file questions through the descriptor's head.
#include "descriptors/inf_file_head.h"

#include <functional>
#include <map>
#include <memory>

class InfFileTail {
public:
    explicit InfFileTail(const InfFileHead* head = nullptr) : m_head(head) {}
    InfFileTail(const InfFileTail&) = delete;
    InfFileTail& operator=(const InfFileTail&) = delete;
    virtual ~InfFileTail() = default;

    virtual CString getFileName() const { return getValue(L"AG_FILENAME"); }
    virtual LONGLONG getFileSize() const { return inf_number::readSize(getValue(L"AG_FILESIZE")); }
    virtual UINT32 getFileCrc() const { return inf_number::readCrc(getValue(L"AG_FILECRC")); }
    // Pieces of a split package; 0 or 1 means not split.
    virtual int getNumSpan() const;
    virtual CString getZipName() const { return getValue(L"AG_ZIPNAME"); }
    virtual CString getLastName() const { return getValue(L"AG_LASTNAME"); }
    virtual LONGLONG getZipSize() const { return inf_number::readSize(getValue(L"AG_ZIPSIZE")); }
    virtual int getVer() const { return inf_number::readInt(getValue(L"AG_VER")); }
    // One of INF_FILE_TYPE_*, 0 when unknown.
    virtual int getFileType() const = 0;
    // Destination folder relative to the medium root.
    virtual CString getDestPath() const = 0;
    // URL of the folder that holds the entry's file or package on the host.
    virtual CString getSourceUrl() const = 0;
    // Non-zero when the entry must not be transferred.
    virtual int getError() const = 0;

    CString getValue(const CString& key) const { return m_values.getValue(key); }
    void add(const CString& key, const CString& value) { m_values.add(key, value); }
    const InfFileHead* head() const { return m_head; }
    void setHead(const InfFileHead* head) { m_head = head; }

protected:
    InfKeyValueList m_values;
    const InfFileHead* m_head;
};

// The dialect whose entries take their type from the head key
// "HVQ_FILE_TYPE", their destination from the descriptor's base name and
// "DEST_PATH", and their source from "ROOT_URL" and "FILEINFO_PATH".
class InfFileTailHvq : public InfFileTail {
public:
    using InfFileTail::InfFileTail;

    int getFileType() const override;
    CString getDestPath() const override;
    CString getSourceUrl() const override;
    int getError() const override { return inf_number::readInt(getValue(L"ERROR")); }
};

// The entries of one descriptor by 0-based index. Entries are shared: the
// root dialog joins a vehicle's common entries into the map of its model
// descriptor (mergeFront), and both maps keep them; an entry is freed when
// the last map holding it lets go.
class InfFileTailMap {
public:
    using Visitor = std::function<bool(int, InfFileTail*)>;

    InfFileTailMap() = default;
    InfFileTailMap(const InfFileTailMap&) = delete;
    InfFileTailMap& operator=(const InfFileTailMap&) = delete;

    // Creates an InfFileTailHvq with the head and the pairs under index; an
    // index already present keeps its entry.
    void addSection(int index, const common_util::key_value_list& pairs, const InfFileHead* head);
    // Calls visit for 0, 1, 2, ... below size(); false at the first missing
    // index or the first false from visit, true when all were visited.
    bool forEach(const Visitor& visit) const;
    // Rebuilds the map as source's entries followed by its own, renumbered
    // from 0.
    void mergeFront(const InfFileTailMap& source);
    void clear() { m_entries.clear(); }

    int size() const { return static_cast<int>(m_entries.size()); }
    bool empty() const { return m_entries.empty(); }
    InfFileTail* get(int index) const;

private:
    std::map<int, std::shared_ptr<InfFileTail>> m_entries;
};
