#pragma once
// The program's private window messages and the values they carry: the
// transfer engine's messages with their module errors and transfer phases,
// the controls' notifications and the statistics stages of the event
// records. Engine, drive watcher, self-update, toolkit and pages share them.
#include <windows.h>

enum : UINT {
    UM_EDIT_ENTER = 0x7E7,
    UM_DOWNLOAD_PROGRESS = 0x801,
    UM_UNZIP_PROGRESS = 0x802,
    UM_DOWNLOAD_COMPLETE = 0x803,
    UM_UNZIP_COMPLETE = 0x804,
    UM_CHECK_ITEM_DONE = 0x805,
    UM_CHECK_COMPLETE = 0x806,
    UM_COPY_PROGRESS = 0x901,
    UM_COPY_COMPLETE = 0x902,
    UM_SHOW_HIDDEN_PAGE = 0x904,
    UM_GUIDE_SHOW = 0x905,
    UM_GUIDE_SHOW_PAGE = 0x906,
    UM_COPY_STEP_DONE = 0x912,
    UM_MODULE_ERROR = 0xA01,
    UM_TRANSFER_PHASE = 0xB01,
    UM_START_UPDATE = 0xB02,
    // One id, two receivers: the self-update popup and the settings page.
    UM_LIVEUPDATE_COMPLETE = 0xC00,
    UM_CLOSE_DROPDOWN = 0xC00,
    UM_LIVEUPDATE_PROGRESS = 0xC01,
    UM_LIVEUPDATE_ERROR = 0xC02,
    UM_MEDIA_CHANGED = 0xC88,
    UM_FRAME_DRIVE = 0xD00,
    UM_LIST_SELECT = 0xFB8,
};

// wParam of UM_MODULE_ERROR.
enum ModuleId {
    MODULE_COPY = 1,
    MODULE_FORMAT = 201,
    MODULE_DOWNLOAD = 301,
    MODULE_OFFLINE = 303,
    MODULE_NETWORK = 501,
};

// lParam of UM_MODULE_ERROR (MODULE_FORMAT, MODULE_OFFLINE and
// MODULE_NETWORK carry 0).
enum ModuleErrorDetail {
    MODULE_ERROR_FILE_SIZE = 1,
    MODULE_ERROR_UNZIP_MODULE = 3,
    MODULE_ERROR_UNZIP_RENAME = 4,
    MODULE_ERROR_DOWNLOAD = 6,
    MODULE_ERROR_CRC = 7,
    MODULE_ERROR_COPY_VERIFY = 10,
    MODULE_ERROR_COPY_SOURCE = 11,
    MODULE_ERROR_COPY_TARGET = 12,
    MODULE_ERROR_COPY_WRITE = 13,
};

// wParam of UM_TRANSFER_PHASE.
enum TransferPhase {
    TRANSFER_PHASE_CHECK = 2,
    TRANSFER_PHASE_DONE = 4,
    TRANSFER_PHASE_DOWNLOAD = 5,
    TRANSFER_PHASE_COPY = 6,
    TRANSFER_PHASE_COPY_STEP = 7,
    TRANSFER_PHASE_UNZIP = 8,
};

// The number after "D:" or "E:" in a statistics record.
enum StatStage {
    STAT_STAGE_NONE = 0,
    STAT_STAGE_NETWORK = 1,
    STAT_STAGE_LOGIN = 2,
    STAT_STAGE_LOGIN_RESULT = 3,
    STAT_STAGE_VEHICLE_CHOICE = 4,
    STAT_STAGE_VEHICLE_SELECT = 5,
    STAT_STAGE_DESTINATION = 6,
    STAT_STAGE_MEDIUM_CHECK = 7,
    STAT_STAGE_FOLDER = 8,
    STAT_STAGE_PAUSE = 9,
    STAT_STAGE_DOWNLOAD = 10,
    STAT_STAGE_CANCEL = 11,
    STAT_STAGE_REPORT = 12,
    STAT_STAGE_COMPLETE = 13,
    STAT_STAGE_LANGUAGE = 14,
    STAT_STAGE_MEDIUM_VERSION = 15,
};
