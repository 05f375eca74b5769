#pragma once
// A drive probe that answers from a table of drives, installed for the
// lifetime of the object (engine and zip reader alike).
#include "engine/drive_probe.h"

#include <functional>
#include <map>

struct FakeDrive {
    UINT type = DRIVE_REMOVABLE;
    bool usb = false;
    ULONGLONG total = 0;
    ULONGLONG free = 0;
    bool spaceReadable = true;
    DWORD sectorsPerCluster = 8;
    DWORD bytesPerSector = 512;
    bool volumeReadable = true;
    CString label = L"MEDIUM";
    DWORD flags = 0;
    CString fileSystem = L"FAT32";
    int mediaType = -1;  // -1: the volume does not answer the query
    int disk = -1;       // -1: no disk number
    bool writable = false;
    CString volume;  // empty: "\\?\Volume{<letter>}\"
};

class FakeDrives : public IDriveQueries {
public:
    FakeDrives() { m_previous = setDriveQueries(this); }
    ~FakeDrives() override { setDriveQueries(m_previous); }

    std::map<wchar_t, FakeDrive> drives;
    // Called when isDiskWritable is asked, before it answers.
    std::function<void()> onWritableAsked;

    UINT getDriveType(const CString& root) override {
        const FakeDrive* d = find(root);
        return d ? d->type : DRIVE_NO_ROOT_DIR;
    }
    BOOL isUsbBusDevice(wchar_t letter) override {
        const FakeDrive* d = find(letter);
        return d && d->usb;
    }
    DWORD getLogicalDrives() override {
        DWORD mask = 0;
        for (const auto& [letter, drive] : drives) mask |= 1u << (letter - L'A');
        return mask;
    }
    BOOL getDiskSpace(const CString& root, ULONGLONG& total, ULONGLONG& free) override {
        const FakeDrive* d = find(root);
        if (!d || !d->spaceReadable) return FALSE;
        total = d->total;
        free = d->free;
        return TRUE;
    }
    BOOL getClusterGeometry(const CString& root, DWORD& sectorsPerCluster, DWORD& bytesPerSector) override {
        const FakeDrive* d = find(root);
        sectorsPerCluster = d ? d->sectorsPerCluster : 0;
        bytesPerSector = d ? d->bytesPerSector : 0;
        return d != nullptr;
    }
    BOOL getVolumeInformation(const CString& root, CString& label, DWORD& flags, CString& fileSystem) override {
        const FakeDrive* d = find(root);
        if (!d || !d->volumeReadable) return FALSE;
        label = d->label;
        flags = d->flags;
        fileSystem = d->fileSystem;
        return TRUE;
    }
    BOOL getFirstMediaType(wchar_t letter, int& mediaType) override {
        const FakeDrive* d = find(letter);
        if (!d || d->mediaType < 0) return FALSE;
        mediaType = d->mediaType;
        return TRUE;
    }
    BOOL getDiskNumber(wchar_t letter, DWORD& disk) override {
        const FakeDrive* d = find(letter);
        if (!d || d->disk < 0) return FALSE;
        disk = static_cast<DWORD>(d->disk);
        return TRUE;
    }
    BOOL isDiskWritable(wchar_t letter) override {
        if (onWritableAsked) onWritableAsked();
        const FakeDrive* d = find(letter);
        return d && d->writable;
    }

    BOOL getVolumeName(const CString& root, CString& name) override {
        const FakeDrive* d = find(root);
        if (!d) return FALSE;
        name = d->volume;
        if (name.IsEmpty()) name.Format(L"\\\\?\\Volume{%c}\\", towupper(root[0]));
        return TRUE;
    }

private:
    const FakeDrive* find(wchar_t letter) const {
        auto it = drives.find(static_cast<wchar_t>(towupper(letter)));
        return it == drives.end() ? nullptr : &it->second;
    }
    const FakeDrive* find(const CString& root) const { return root.IsEmpty() ? nullptr : find(root[0]); }

    IDriveQueries* m_previous = nullptr;
};

constexpr ULONGLONG kKiB = 1024;
constexpr ULONGLONG kMiB = 1024 * kKiB;
constexpr ULONGLONG kGiB = 1024 * kMiB;
constexpr ULONGLONG kTiB = 1024 * kGiB;
