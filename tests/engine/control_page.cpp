#include "tests/engine/control_page.h"

#include "descriptors/ver_file.h"
#include "engine/copy_manager.h"
#include "engine/download_manager.h"
#include "engine/engine_control.h"
#include "engine/function_manager.h"
#include "engine/unzip_manager.h"
#include "engine/vercheck_manager.h"
#include "foundation/private_messages.h"

ControlPage::ControlPage(wchar_t drive, std::list<InfInfo*> descriptors)
    : m_drive(drive), m_descriptors(std::move(descriptors)) {
    CString base;
    if (drive) base.Format(L"%c:\\", drive);
    copy_manager::getInstance()->setBasePath(base);
}

ControlPage::~ControlPage() {
    closeWindow();
    for (observer_list* list :
         {&function_manager::getInstance()->m_observers, &vercheck_manager::getInstance().m_observers,
          &download_manager::getInstance()->m_observers, &unzip_manager::getInstance()->m_observers,
          &copy_manager::getInstance()->m_observers}) {
        list->remove(hwnd());
    }
}

void ControlPage::next() {
    function_manager* engine = function_manager::getInstance();
    engine->postCommand(FM_CMD_IDLE, 0, nullptr);
    for (observer_list* list :
         {&engine->m_observers, &vercheck_manager::getInstance().m_observers,
          &download_manager::getInstance()->m_observers, &unzip_manager::getInstance()->m_observers,
          &copy_manager::getInstance()->m_observers}) {
        list->add(hwnd());
    }
    engine->postCommand(FM_CMD_START, 0, static_cast<transfer_page*>(this));
    engine->checkPhaseComplete();
}

void ControlPage::hold() {
    engine_control::stopManagers();
}

int ControlPage::beginTransfer() {
    ++beginCalls;
    if (function_manager::getInstance()->calcProgressState() > ITEM_STATE_DOWNLOADED) {
        vercheck_manager::getInstance().m_observers.post_message_all(UM_DOWNLOAD_COMPLETE, 0, 1);
    }
    download_manager::getInstance()->start();
    unzip_manager::getInstance()->start();
    function_manager::getInstance()->postCommand(FM_CMD_DOWNLOAD_DONE, 0, nullptr);
    return 1;
}

void ControlPage::computeAndInitDownload() {
    ++computeCalls;
    while (holdCompute) Sleep(10);
    engine_control::InitDownload(m_descriptors);
}

void ControlPage::StartCarCopy() {
    ++formatCalls;
    copy_manager* copies = copy_manager::getInstance();
    const CString base = copies->getBasePath();
    if (!base.IsEmpty()) ver_file_list::getInstance().write(base, VER_WRITE_MEDIUM);
    copies->m_bActive = true;
    vercheck_manager::getInstance().m_observers.post_message_all(UM_TRANSFER_PHASE, TRANSFER_PHASE_COPY, 0);
    if (base.IsEmpty()) copies->m_bActive = false;
}

void ControlPage::onMessage(UINT message, WPARAM, LPARAM lParam) {
    if (message == UM_COPY_COMPLETE && lParam == 1 && atCopyComplete) atCopyComplete();
    if (message == UM_CHECK_COMPLETE) {
        function_manager::getInstance()->postCommand(FM_CMD_FORMAT, m_drive, static_cast<transfer_page*>(this));
    }
}
