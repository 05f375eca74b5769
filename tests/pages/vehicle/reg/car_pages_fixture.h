#pragma once
// The registration and finish pages under the real main frame and root
// dialog: a vehicle list of one model whose descriptors are read from text
// (their sizes set the update size), the download folder in a temporary
// folder on a fixed drive C:, and the drive probe answered by a table.
#include "afx/afx.h"
#include "descriptors/inf_info.h"
#include "tests/engine_drives/fake_drives.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <memory>

class CMainFrame;
class CDlgRoot;
class CDlgCarReg;
class CDlgCarFinish;
class CDlgPageMessage;

// Whether the connectivity probe and the frame say the program is online.
void setOnline(CMainFrame* frame, bool online);

constexpr ULONGLONG KB = 1024ULL;
constexpr ULONGLONG GB = 1000000000ULL;

class CarPages : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

public:
    // Public: the case tables of the tests arrange through lambdas.

    // A vehicle of model "123" whose one descriptor holds one file of
    // updateBytes; added to the frame's list, which owns it.
    InfInfo* addVehicle(const CString& name, const CString& mediaType, ULONGLONG updateBytes, int mapUpdate = 1,
                        int deviceType = 5);
    // The download folder's drive: fixed, with this many bytes free.
    void setLocalFree(ULONGLONG freeBytes);
    // A removable drive the watcher accepts.
    FakeDrive& addDrive(wchar_t letter, ULONGLONG totalKB);
    // The vehicle is chosen and the registration page shown, as after a scan.
    void chooseAndShow(InfInfo* car);
    // Selects the combo line and lets the page see the choice.
    void selectLine(int index);
    int lineCount() const;
    CString lineText(int index) const;
    int selectedLine() const;
    CString note() const;

    void pressUpdate();
    // OK (1) or Cancel (0) on the message page on top.
    void answer(BOOL ok);
    // The type of the message page last configured, 0 when none.
    int messageType() const;
    // Closes any message page and goes back to the registration page.
    void backToRegistration();
    // The statistics records added since the last call.
    CString newRecords();

    TempDir m_data;
    FakeDrives m_drives;
    CMainFrame* frame = nullptr;
    CDlgRoot* root = nullptr;
    CDlgCarReg* reg = nullptr;
    CDlgCarFinish* finish = nullptr;

private:
    size_t m_recordsSeen = 0;
};
