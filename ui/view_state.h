#pragma once
// The views of the root dialog. Base views replace the page underneath;
// the others are overlays that go back to it.
enum ViewState {
    VIEW_STATE_ERROR = -1,
    VIEW_STATE_LOGIN = 0,
    VIEW_STATE_CONFIG = 90,
    VIEW_STATE_MESSAGE = 91,
    VIEW_STATE_NONE = 100,
    VIEW_STATE_CAR_REG = 101,
    VIEW_STATE_CAR_CHANGE = 102,
    VIEW_STATE_CAR_UPDATE = 103,
    VIEW_STATE_CAR_FINISH = 104,
    VIEW_STATE_INFO_POPUP = 105,
    VIEW_STATE_CAR_CONFIG = 106,
    VIEW_STATE_JOIN_MSG = 107,
    VIEW_STATE_HIDDEN = 108,
    VIEW_STATE_HIDDEN_PWD = 109,
    VIEW_STATE_EXIT = 110,
    VIEW_STATE_PAGE_FOR_CONFIG = 111,
    VIEW_STATE_INFO_IMAGE_POPUP = 112,
};
