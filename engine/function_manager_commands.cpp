// The effects of the queued commands on the command thread.
#include "engine/function_manager.h"
#include "engine/worker_manager.h"
#include "foundation/message_pump.h"

namespace {

constexpr DWORD kThreadWaitMs = 500;

}  // namespace

void function_manager::reset() {
    m_nState = FM_STATE_IDLE;
    m_nQuit = 0;
    m_nPaused = 0;
    m_nFormatRequested = 0;
    m_nDownloadDone = 0;
    m_nUnzipDone = 0;
    m_nCopyDone = 0;
}

void function_manager::runCommand(const function_command& command) {
    auto* page = static_cast<transfer_page*>(command.pointer);
    switch (command.code) {
    case FM_CMD_START:
        onStart(page);
        break;
    case FM_CMD_FORMAT:
        onFormat(command.parameter, page);
        break;
    case FM_CMD_RESTART:
        onRestart();
        break;
    case FM_CMD_FORMAT_DONE:
        onFormatDone();
        break;
    case FM_CMD_BEGIN_TRANSFER:
        onBeginTransfer(page);
        m_nTickCount = 0;
        break;
    case FM_CMD_DOWNLOAD_DONE:
        onDownloadDone(static_cast<transfer_task*>(command.pointer));
        m_nTickCount = 0;
        break;
    case FM_CMD_UNZIP_DONE:
    case FM_CMD_COPY_DONE:
        onWorkerDone();
        m_nTickCount = 0;
        break;
    case FM_CMD_FINISH:
        m_nState = FM_STATE_FINISHED;
        break;
    default:
        break;
    }
}

void function_manager::onStart(transfer_page* page) {
    worker_manager::getInstance()->stopAll();
    m_pPage = page;
    if (m_nFormatRequested) {
        postCommand(FM_CMD_FORMAT, m_chDrive.load(), page);
    } else if (!m_hComputeThread) {
        startPageThread(&function_manager::ComputeThread_Function, "ComputeThread_Function", page, m_pComputeThread,
                        m_hComputeThread);
    }
    m_nState = FM_STATE_STARTED;
    m_observers.post_message_all(m_nDownloadDone ? UM_DOWNLOAD_COMPLETE : UM_TRANSFER_PHASE,
                                 m_nDownloadDone ? 0 : TRANSFER_PHASE_DOWNLOAD, m_nDownloadDone ? 1 : 0);
    m_observers.post_message_all(m_nUnzipDone ? UM_UNZIP_COMPLETE : UM_TRANSFER_PHASE,
                                 m_nUnzipDone ? 0 : TRANSFER_PHASE_UNZIP, m_nUnzipDone ? 1 : 0);
    m_observers.post_message_all(m_nCopyDone ? UM_COPY_COMPLETE : UM_TRANSFER_PHASE,
                                 m_nCopyDone ? 0 : TRANSFER_PHASE_COPY, m_nCopyDone ? 1 : 0);
}

void function_manager::onFormat(int parameter, transfer_page* page) {
    m_chDrive = static_cast<wchar_t>(parameter & 0xFFFF);
    m_nFormatRequested = 1;
    m_nDownloadDone = m_nUnzipDone = m_nCopyDone = 0;
    waitThread(m_hComputeThread, kThreadWaitMs);
    m_pComputeThread = nullptr;
    waitThread(m_hFormatThread, kThreadWaitMs);
    m_pFormatThread = nullptr;
    startPageThread(&function_manager::FormatThread_Function, "FormatThread_Function", page, m_pFormatThread,
                    m_hFormatThread);
    calcTotals();
    dispatchByState(calcProgressState(), page);
}

void function_manager::onRestart() {
    m_nFormatRequested = 1;
    m_chDrive = 0;
    m_nDownloadDone = m_nUnzipDone = m_nCopyDone = 0;
    calcTotals();
    checkMediumFiles();
    dispatchByState(calcProgressState(), nullptr);
}

void function_manager::onFormatDone() {
    waitThread(m_hFormatThread, kThreadWaitMs);
    m_pFormatThread = nullptr;
    m_observers.post_message_all(UM_TRANSFER_PHASE, TRANSFER_PHASE_COPY, 0);
    calcTotals();
    checkMediumFiles();
    scheduleNext(calcProgressState());
}

void function_manager::onBeginTransfer(transfer_page* page) {
    if (page) page->beginTransfer();
    else postCommand(FM_CMD_DOWNLOAD_DONE, 0, nullptr);
    m_nState = FM_STATE_TRANSFER;
}

void function_manager::onDownloadDone(transfer_task* task) {
    if (task) {
        if (task->piece == -1 && task->item) finishDownloadedItem(task->item);
    } else {
        if (!m_nDownloadDone) m_observers.post_message_all(UM_TRANSFER_PHASE, TRANSFER_PHASE_DOWNLOAD, 0);
        if (!m_nUnzipDone) m_observers.post_message_all(UM_TRANSFER_PHASE, TRANSFER_PHASE_UNZIP, 0);
    }
    scheduleNext(calcProgressState());
}

void function_manager::onWorkerDone() {
    scheduleNext(calcProgressState());
}
