#pragma once
// The head of a read INF descriptor: the pairs of its first section plus the
// keys the download adds ("INF_FILENAME", "HVQ_FILE_TYPE"), with typed
// accessors for the descriptor-wide values.
#include "descriptors/inf_key_value_list.h"

class InfFileHead {
public:
    InfFileHead() = default;
    InfFileHead(const InfFileHead&) = delete;
    InfFileHead& operator=(const InfFileHead&) = delete;
    virtual ~InfFileHead() = default;

    virtual CString getModelPrefix() const { return getValue(L"MODEL_PREFIX"); }
    virtual CString getDestDirModel() const { return getValue(L"DESTDIR_MODEL"); }
    virtual CString getRootUrl() const { return getValue(L"ROOT_URL"); }
    virtual CString getEnableAutostartInstaller() const { return getValue(L"ENABLE_AUTOSTART_INSTALLER"); }
    virtual CString getNotifyUrl() const { return getValue(L"NOTIFY_URL"); }
    // The descriptor's version; its key depends on the descriptor dialect.
    virtual CString getVersion() const = 0;
    virtual CString getCommonPath() const { return getValue(L"COMMON_PATH"); }
    virtual CString getModelPath() const { return getValue(L"MODEL_PATH"); }
    virtual CString getCdnUrl() const { return getValue(L"CDN_URL"); }
    virtual LONGLONG getSplitFileSize() const { return inf_number::readInt64(getValue(L"SPLIT_FILE_SIZE")); }
    virtual CString getSdRoot() const { return getValue(L"SD_ROOT"); }
    virtual CString getInfFileName() const { return getValue(L"INF_FILENAME"); }
    // The INF file name without folder part and extension.
    virtual CString getInfBaseName() const;

    void addValue(const CString& key, const CString& value) { m_values.add(key, value); }
    CString getValue(const CString& key) const { return m_values.getValue(key); }
    // "$KEY$" references to head keys replaced by their values.
    CString expandValue(const CString& text) const;
    // "$KEY$" references to head keys dropped.
    CString expandPath(const CString& text) const;

    InfKeyValueList& values() { return m_values; }
    const InfKeyValueList& values() const { return m_values; }

private:
    InfKeyValueList m_values;
};

// The descriptor dialect whose version key is "UPDATE_VERSION".
class InfFileHeadHvq : public InfFileHead {
public:
    CString getVersion() const override { return getValue(L"UPDATE_VERSION"); }
};
