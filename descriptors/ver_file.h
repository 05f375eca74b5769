#pragma once
// Version files (".ver"): what one update put into the download folder or
// onto the medium. UTF-8 without byte-order mark, every line ended by "\n":
// blocks of a head line
//   "+"|descriptor version|software version|brand code|.ver name|model code|complete
// followed by entry lines
//   destination|file name|package version|CRC-32 (signed)|file size|done
// An older generation (UTF-16 LE with a byte-order mark, head lines marked
// "*" without the brand field) is still read.
#include "descriptors/inf_file_update.h"
#include "descriptors/inf_info.h"

#include <atomic>
#include <list>
#include <map>
#include <mutex>
#include <vector>

// Version-file types.
enum {
    VER_FILE_HVQ_COMMON = 3,  // a vehicle's common descriptor
    VER_FILE_HVQ_MODEL = 4,   // one of its model-specific descriptors
};

// Write modes: which state makes an item done, and where the file goes.
// Mode 0 writes like VER_WRITE_LOCAL with every head marked complete.
enum {
    VER_WRITE_PRECHECK = 1,  // medium pre-check; done at ITEM_STATE_UNZIPPED
    VER_WRITE_LOCAL = 2,     // download folder; done at ITEM_STATE_UNZIPPED
    VER_WRITE_MEDIUM = 3,    // medium; done at ITEM_STATE_COPIED
};

// A head line's fields by position; field 0 is the layout marker.
class ver_file_head {
public:
    ver_file_head() = default;
    virtual ~ver_file_head() = default;

    virtual CString serialize() const;
    virtual void setVersion(int version) { m_fields[0] = versionToMarker(version); }
    virtual int getVersion() const { return markerToVersion(getField(0)); }
    virtual CString getInfVersion() const = 0;
    virtual void setInfVersion(const CString& v) = 0;
    virtual CString getSwVersion() const = 0;
    virtual void setSwVersion(const CString& v) = 0;
    virtual CString getBrandCode() const { return CString(); }
    virtual void setBrandCode(const CString&) {}
    virtual CString getVerName() const = 0;
    virtual void setVerName(const CString& v) = 0;
    virtual CString getModelCode() const = 0;
    virtual void setModelCode(const CString& v) = 0;
    virtual int getComplete() const = 0;
    virtual void setComplete(int complete) = 0;

    CString getField(int key) const;
    void setField(int key, const CString& value) { m_fields[key] = value; }
    void clearFields() { m_fields.clear(); }
    size_t fieldCount() const { return m_fields.size(); }

    // 1 -> "*", 2 -> "+", anything else empty.
    static CString versionToMarker(int version);
    // The number of a marker (letter case ignored), 0 for none.
    static int markerToVersion(const CString& marker);

protected:
    CString joinFields(int count) const;
    int fieldAsInt(int key) const;

    std::map<int, CString> m_fields;
};

// Layout 1 ("*"): version, software version, .ver name, model code, complete.
class ver_file_head_v1 : public ver_file_head {
public:
    ver_file_head_v1() { setVersion(1); }
    CString serialize() const override { return joinFields(6); }
    CString getInfVersion() const override { return getField(1); }
    void setInfVersion(const CString& v) override { setField(1, v); }
    CString getSwVersion() const override { return getField(2); }
    void setSwVersion(const CString& v) override { setField(2, v); }
    CString getVerName() const override { return getField(3); }
    void setVerName(const CString& v) override { setField(3, v); }
    CString getModelCode() const override { return getField(4); }
    void setModelCode(const CString& v) override { setField(4, v); }
    int getComplete() const override { return fieldAsInt(5); }
    void setComplete(int complete) override;
};

// Layout 2 ("+"): the brand code after the software version.
class ver_file_head_v2 : public ver_file_head {
public:
    ver_file_head_v2() { setVersion(2); }
    CString serialize() const override { return joinFields(7); }
    CString getInfVersion() const override { return getField(1); }
    void setInfVersion(const CString& v) override { setField(1, v); }
    CString getSwVersion() const override { return getField(2); }
    void setSwVersion(const CString& v) override { setField(2, v); }
    CString getBrandCode() const override { return getField(3); }
    void setBrandCode(const CString& v) override { setField(3, v); }
    CString getVerName() const override { return getField(4); }
    void setVerName(const CString& v) override { setField(4, v); }
    CString getModelCode() const override { return getField(5); }
    void setModelCode(const CString& v) override { setField(5, v); }
    int getComplete() const override { return fieldAsInt(6); }
    void setComplete(int complete) override;
};

// One version file to write: a head and the update items of a descriptor.
class ver_file {
public:
    ver_file(int type, const InfInfo* vehicle) : m_nType(type), m_pVehicle(vehicle) {}
    ~ver_file() { delete m_pHead; }
    ver_file(const ver_file&) = delete;
    ver_file& operator=(const ver_file&) = delete;

    // A new element for the entry's descriptor (loading it when needed),
    // with the entry's update items; the caller owns it.
    static ver_file* from_InfInfo(InfInfo* entry, int type);

    ver_file_head* m_pHead = new ver_file_head_v2;
    int m_nType;
    // The items of the descriptor, owned by InfFileUpdateList.
    std::vector<InfFileUpdate*> m_items;
    // The vehicle the descriptor belongs to (its common descriptor's entry,
    // null when unknown): a model element's items are listed under the
    // common head of the same vehicle.
    const InfInfo* m_pVehicle;
};

// The version files of the running update; one process-wide list.
class ver_file_list {
public:
    static ver_file_list& getInstance();

    // Frees every element; until the next append, write does nothing.
    void clear();
    // Takes the element over.
    void append(ver_file* element);
    // Writes the version file of the list's elements below dir, an absolute
    // folder (see the modes). One call writes at most one file, named after
    // the first element written; a call while another runs waits for it and
    // then writes. A head whose items are all gone is never complete.
    void write(CString dir, int mode);

    const std::list<ver_file*>& elements() const { return m_list; }
    bool isBusy() const { return m_nBusy.load() != 0; }
    bool isCleared() const { return m_nCleared.load() != 0; }

    ver_file_list(const ver_file_list&) = delete;
    ver_file_list& operator=(const ver_file_list&) = delete;

private:
    ver_file_list() = default;
    ~ver_file_list() { clear(); }

    void writeLocked(const CString& dir, int mode);

    std::list<ver_file*> m_list;
    std::atomic<int> m_nCleared{0};
    // Writes running or waiting.
    std::atomic<int> m_nBusy{0};
    std::mutex m_writeLock;
};

// One entry line read back: columns by position (0 destination, 1 file
// name, 2 version, 3 CRC-32, 4 size, 5 done).
class ver_file_entry {
public:
    CString getDestPath() const { return getField(0); }
    CString getFileName() const { return getField(1); }
    CString getField(int column) const;

    std::map<int, CString> m_fields;
};

// A version file read back from its text (UTF-16; the callers convert
// either generation).
class ver_file_data {
public:
    ver_file_data() = default;
    ~ver_file_data() { clear(); }
    ver_file_data(const ver_file_data&) = delete;
    ver_file_data& operator=(const ver_file_data&) = delete;

    // The first line is the head, every later non-empty line an entry;
    // lines are trimmed, so CR LF reads like LF.
    void parse(CString text);
    void clear();

    ver_file_head* head = nullptr;
    std::vector<ver_file_entry*> entries;
};
