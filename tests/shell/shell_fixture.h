#pragma once
// A root dialog with its stand-in pages over a recording frame and engine:
// what the tests of the shell share.
#include "afx/afx.h"
#include "pages/account/placeholder_page.h"
#include "shell/dlg_root.h"
#include "shell/shell_engine.h"
#include "shell/shell_frame.h"
#include "tests/ui_bases/ui_env.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// The frame as the root sees it: records the exit flag and the transfer
// mark, holds the current entry and the vehicle-list state.
class FakeFrame : public IShellFrame {
public:
    void setExitFlag() override { ++exitFlags; }
    void setTransferRunning() override { ++transferMarks; }
    InfInfo* currentEntry() override { return entry; }
    BOOL hasVehicleList() override { return vehicleList; }
    void clearVehicleList() override {
        ++listClears;
        vehicleList = FALSE;
    }
    // The frame's rule: the folder's first ".ver" file bears its name.
    BOOL hasOwnVerFile(const CString& folder) override;

    int exitFlags = 0;
    int transferMarks = 0;
    int listClears = 0;
    InfInfo* entry = nullptr;
    BOOL vehicleList = FALSE;
};

// The engine as the shell sees it: active flags set by the test, every call
// recorded in order.
class FakeEngine : public IShellEngine {
public:
    bool isDownloadActive() override { return download; }
    bool isUnzipActive() override { return unzip; }
    bool isCopyActive() override { return copy; }
    bool isIdle() override { return !download && !unzip && !copy; }
    void stopAndJoin() override {
        calls.push_back(L"stopAndJoin");
        download = unzip = copy = false;
    }
    void writeResumeVersionFiles() override { calls.push_back(L"writeResume"); }
    void postQuit() override { calls.push_back(L"quit"); }
    void closeOwnHandles(const CString& folder) override { calls.push_back(L"closeOwnHandles:" + folder); }

    bool download = false;
    bool unzip = false;
    bool copy = false;
    std::vector<CString> calls;
};

class RootFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the root and shows it at (40, 40), 900 x 680, on login.
    void createRoot();
    // The pool's pages, in order.
    std::vector<CDlgPageMessage*> pool() const;
    // A stand-in page under the root that only records what reaches it: the
    // requester for tests of the message pages, where a real page would act
    // on the answers itself. Made on first use.
    CPlaceholderPage* recorder();
    // Calls recorded by a stand-in page.
    template <class Page>
    int calls(Page* page, const CString& entry) const {
        return page->callCount(entry);
    }

    FakeFrame frame;
    FakeEngine engine;
    std::unique_ptr<CDlgRoot> root;
    std::unique_ptr<CPlaceholderPage> m_recorder;
};

// The statistics records added so far.
CString statisticsRecords();
