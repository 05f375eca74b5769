#pragma once
// What the root dialog and its message pages need of the hidden main frame.
// The frame implements it and hands itself to the root; tests hand a double.
#include "afx/afx.h"
#include "descriptors/inf_info.h"

#include <list>
#include <memory>
#include <vector>

class CUSBDetector;

class IShellFrame {
public:
    virtual ~IShellFrame() = default;

    // The confirmed exit: with it the frame's RWM_SEND_STATICS handling
    // uploads the statistics and closes the program.
    virtual void setExitFlag() = 0;
    // The exit button interrupted a running download or copy: the frame
    // marks the transfer as running so that Cancel on the exit page finds
    // the update where it was.
    virtual void setTransferRunning() = 0;
    // The vehicle entry of the current update (Cur_inf); null when none.
    virtual InfInfo* currentEntry() = 0;
    // A sign-in has given the frame a current vehicle list.
    virtual BOOL hasVehicleList() = 0;
    // setVehicleList with none: the list of the signed-out user is retired.
    virtual void clearVehicleList() = 0;
    // The folder's first ".ver" file bears the folder's own name.
    virtual BOOL hasOwnVerFile(const CString& folder) = 0;

    // The signed-in account's vehicle list (the frame's own); null when none.
    virtual InfInfoList* vehicleList() { return nullptr; }
    // The drive watcher whose map the medium scan reads; null when none.
    virtual CUSBDetector* driveWatcher() { return nullptr; }
    // A guest catalogue that supplied an entry the pages or Cur_inf may keep:
    // it must outlive them, so it lives until the frame ends.
    virtual void retireCatalogue(InfInfoList* list) { m_retiredCatalogues.emplace_back(list); }
    // Asks the service for a client GUID when none is stored yet.
    virtual void requestGUID() {}
    // Makes list (may be null) the current vehicle list; the list it replaces
    // is retired, never freed while the program runs.
    virtual void setVehicleList(InfInfoList* list) { (void)list; }
    // The current list's entry of the stored last mode; null when none.
    virtual InfInfo* findLastModeVehicle() { return nullptr; }
    // A dealer signs in: the update then writes the dealer-code file.
    virtual void setDealerLogin(BOOL dealer) { (void)dealer; }
    // The notice download and parse, run to its end on the calling thread
    // (serialised with the frame's own notice thread).
    virtual void runNoticeDownload() {}
    // The hidden page's model: made the current entry, its download
    // prepared (folder, items of its descriptors, dealer file) and the
    // medium pre-check started. Called from the page's worker thread.
    virtual void setCurrentEntry(InfInfo* entry) { (void)entry; }
    virtual void initDownload(InfInfo* target, std::list<InfInfo*> descriptors) {
        (void)target;
        (void)descriptors;
    }
    // The download folder of this run: the settings page and the settings
    // message page set it, the transfer engine and the pages read it.
    virtual CString downloadFolder() { return m_strFrameFolder; }
    virtual void setDownloadFolder(const CString& folder) { m_strFrameFolder = folder; }
    // Hands the download folder to the transfer engine's managers.
    virtual void setDownloadPaths() {}
    // The notice download runs when the frame's timer (1004) expires.
    virtual void startNoticeTimer(UINT milliseconds) { (void)milliseconds; }

private:
    std::vector<std::unique_ptr<InfInfoList>> m_retiredCatalogues;
    CString m_strFrameFolder;
};
