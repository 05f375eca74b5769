#pragma once
// What the command thread calls back on the page that started a run (the
// update page): each routine runs on an engine thread with the page pointer
// of the command.
class transfer_page {
public:
    virtual ~transfer_page() = default;
    // On the command thread for FM_CMD_BEGIN_TRANSFER: starts the download
    // and unzip sides; 0 when the page cannot begin.
    virtual int beginTransfer() = 0;
    // On the compute thread: prepares the download folder and runs the
    // download pre-check, which ends with UM_CHECK_COMPLETE.
    virtual void computeAndInitDownload() = 0;
    // On the format thread: formats the medium when needed and writes its
    // first files.
    virtual void StartCarCopy() = 0;
};
