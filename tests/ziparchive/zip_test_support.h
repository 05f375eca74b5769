#pragma once
// Helpers of the zip reader tests: fixture paths, outcomes of calls that may
// raise, and a fake drive probe.
#include "tests/support/test_support.h"
#include "ziparchive/driveprobe.h"
#include "ziparchive/ziparchive.h"
#include "ziparchive/zipexception.h"

#include <functional>
#include <string>

// Path of a file written by make_fixtures.py ("split\\pkg.zip", ...).
CString fixture(const CString& name);
// Payload of a good entry as the fixture script wrote it.
std::string expectedBytes(const CString& name);
// Copies a fixture into a folder; returns the new path.
CString copyFixture(const CString& name, const CString& folder);

// How a call ended: kOk, a CZipException cause (1..18) or kFileError for a
// CFileException (its file name goes to *fileName when given).
enum { kOk = 0, kFileError = 100 };
int outcome(const std::function<void()>& call, CString* fileName = nullptr);

// Opens an archive read-only and extracts every entry below `folder`.
// Returns the outcome; `results` gets each ExtractFile result.
int extractAll(const CString& archive, const CString& folder, std::string* results = nullptr);

// Little-endian helpers for patching archive bytes.
void putWord(std::string& bytes, size_t at, unsigned value);
void putDword(std::string& bytes, size_t at, unsigned long value);

class FakeDriveProbe : public IDriveProbe {
public:
    UINT driveType = DRIVE_FIXED;
    BOOL usb = FALSE;
    BOOL sizeKnown = TRUE;
    ULONGLONG totalBytes = 0;

    UINT getDriveType(const CString&) override { return driveType; }
    BOOL isUsbBusDevice(wchar_t) override { return usb; }
    BOOL getTotalBytes(const CString&, ULONGLONG& total) override {
        total = totalBytes;
        return sizeKnown;
    }
};

// Installs a probe for the scope of a test.
class ScopedDriveProbe {
public:
    explicit ScopedDriveProbe(IDriveProbe* probe) : m_old(setDriveProbe(probe)) {}
    ~ScopedDriveProbe() { setDriveProbe(m_old); }

private:
    IDriveProbe* m_old;
};
