// The answers a message page gives itself: follow-up messages, view
// switches, session resets, the download-folder change and the consent
// radios. What is left goes to the requester (dlg_page_message_answers.cpp).
#include "shell/dlg_page_message.h"

#include "engine/usb_detector.h"
#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/program_strings.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_page_config.h"
#include "pages/account/dlg_page_login.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "pages/vehicle/dlg_car_update.h"
#include "shell/dlg_root.h"
#include "shell/message_page_services.h"
#include "shell/messages/guide_url.h"
#include "ui/base_helpers.h"
#include "ui/font_cache.h"
#include "ui/session_flags.h"
#include "ui/view_state.h"
#include "webclient/connectivity.h"

#include <vector>

namespace {

MessagePageServices& services() {
    static MessagePageServices installed;
    return installed;
}

int brandOfLetter(const CString& letter) {
    if (letter == L"V") return CORP_DR;
    if (letter == L"L") return CORP_LV;
    if (letter == L"W") return CORP_TS;
    return 0;
}

// The drives the watcher would list now.
std::vector<wchar_t> presentDrives() {
    CUSBDetector detector;
    detector.updateAllDriveInfo();
    std::vector<wchar_t> letters;
    for (const auto& entry : *detector.getAllDriveInfoList()) letters.push_back(entry.first);
    return letters;
}

bool isLoginRefusal(int type) {
    switch (type) {
        case SERVER_ERROR_LOGIN_WRONG_IDPWD:
        case SERVER_ERROR_LOGIN_AUTHORITY:
        case SERVER_ERROR_LOGIN_INPUT_INFO:
        case SERVER_ERROR_LOGIN_UNKNOWN:
            return true;
        default:
            return type >= SERVER_ERROR_LOGIN_INCORRECT_ID_PASSWORD && type <= SERVER_ERROR_LOGIN_UNKOWN;
    }
}

void forgetLogo(CDlgRoot* r) {
    // The next paint loads the logo of the brand chosen then.
    if (r) base_helpers::releaseBitmap(r->m_pImgLogo);
}

}  // namespace

MessagePageServices setMessagePageServices(MessagePageServices installed) {
    MessagePageServices previous = services();
    services() = std::move(installed);
    return previous;
}

const MessagePageServices& messagePageServices() { return services(); }

bool CDlgPageMessage::hasRemovableDrive() { return !presentDrives().empty(); }

void CDlgPageMessage::switchRoot(int view) {
    if (CDlgRoot* r = root()) r->pushViewPage(view, TRUE);
}

void CDlgPageMessage::chainTo(int type, CWnd* requester) {
    setMessageType(type, requester);
    switchRoot(VIEW_STATE_MESSAGE);
}

// OK's first and second stage; TRUE when the answer is complete here.
bool CDlgPageMessage::answerOkOnPage() {
    CDlgRoot* r = root();
    const int region = CRegSetting::getRegion();
    int type = m_eMessageType;

    if (type == SERVER_ETC_BRAND_CHANGED_GUEST) {
        int corp = CRegSetting::getLastUserCorp();
        CRegSetting::setLastUserCorp(corp);
        if (r && r->m_pPageLogin) {
            if (corp == CORP_TS) {
                r->m_pPageLogin->OnBnClickedButtonNnTs();
            } else if (corp == CORP_LV) {
                r->m_pPageLogin->OnBnClickedButtonNnLv();
            } else {
                r->m_pPageLogin->OnBnClickedButtonNnDr();
            }
        }
        closePage(TRUE);
        return true;
    }
    if (type == SERVER_ETC_LANGUAGE_CHANGED || type == SERVER_ETC_BRAND_CHANGED) {
        if (r) r->OnResetSession();
        return true;
    }
    if (isLoginRefusal(type)) {
        forgetLogo(r);
        if (r) r->showTitleButtons(0);
        g_strCorpCode = L"N";
    } else if (type == SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT) {
        // The close forgets the parameters; the login goes to this brand.
        m_nAnsweredBrand = brandOfLetter(getParam(0));
        if (r) {
            CRegSetting::setLastUserCorp(r->m_nMediumCorp);
            r->showTitleButtons(0);
        }
        g_strCorpCode = L"N";
        CFontCache::selectFace();
        if (r && r->m_pPageLogin) {
            CDlgPageLogin* login = r->m_pPageLogin;
            login->m_nCorpButton = 4;
            login->resetPage();
            CString record;
            record.Format(L"[D:%d,T:%s,LT:%s,ID:%s,GUID:%s,BR:%s,BR:%s,NAME:%s]", STAT_STAGE_VEHICLE_SELECT,
                          CGlobalFunc::getTimeStamp().GetString(), getUserTypeName(login->m_nUserType).GetString(),
                          CRegSetting::getUserID(login->m_nSignedInCorp).GetString(),
                          CRegSetting::getClientGUID().GetString(), getCorpCode(login->m_nSignedInCorp).GetString(),
                          getCorpCode(r->m_nMediumCorp).GetString(), r->m_strMediumCarName.GetString());
            g_logManager.AddStatistics(record);
        }
    } else if (type == SERVER_ETC_SD_CARD_QUESTION || type == SERVER_ETC_INSERT_MEDIUM) {
        bool drive = hasRemovableDrive();
        if (type == SERVER_ETC_INSERT_MEDIUM && drive) {
            switchRoot(VIEW_STATE_CAR_REG);
            closePage(TRUE);
            return true;
        }
        if (!drive && r) {
            // The open page is this one: the pool hands it back.
            if (CDlgPageMessage* page = r->getMessagePage(SERVER_ETC_INSERT_MEDIUM)) {
                page->setMessageType(SERVER_ETC_INSERT_MEDIUM, this);
                r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
            }
        }
    } else if (type == SERVER_ERROR_USB_IS_BIGSIZE) {
        switchRoot(VIEW_STATE_CAR_REG);
        closePage(TRUE);
        return true;
    }

    type = m_eMessageType;
    switch (type) {
        case SERVER_ETC_FIRST_OPEN:
            CRegSetting::setFirstOpenProgram();
            if (region == REGION_KR && !(CRegSetting::isSendVcrmDesc1() && CRegSetting::isSendVcrmDesc2())) {
                chainTo(SERVER_ETC_DATA_CONSENT, this);
            } else {
                switchRoot(VIEW_STATE_CAR_REG);
            }
            return true;
        case SERVER_ETC_DATA_CONSENT:
            CRegSetting::setFirstOpenEula();
            CRegSetting::setSendVcrmDesc1();
            CRegSetting::setSendVcrmDesc2();
            for (CPngWithTextButton& radio : m_radio) {
                if (radio.GetSafeHwnd()) radio.ShowWindow(SW_HIDE);
            }
            if (services().startUserPrivateThread) services().startUserPrivateThread();
            switchRoot(VIEW_STATE_CAR_REG);
            return true;
        case SERVER_ETC_NO_VEHICLE_TS:
        case SERVER_ETC_NO_VEHICLE_DR:
            if (!r) return true;
            if (region != REGION_US) {
                if (services().showPageAfterLogin) services().showPageAfterLogin();
            } else if (r->m_bHasRegisteredVehicle != 1) {
                r->OnResetSession();
                CGlobalFunc::openUrl(msg::ownerPortalUrl(type, region));
            }
            return true;
        case SERVER_ETC_NO_VEHICLE_LV:
            if (!r) return true;
            if (r->m_bHasRegisteredVehicle == 1) {
                if (services().showPageAfterLogin) services().showPageAfterLogin();
            } else {
                r->OnResetSession();
                CGlobalFunc::openUrl(msg::ownerPortalUrl(type, region));
            }
            return true;
        case SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD:
            // While a message shows the root's view is the message view; the
            // view under it decides.
            if (r && r->m_eBaseViewStatus == VIEW_STATE_CAR_REG) {
                chainTo(SERVER_ETC_SAVE_TO_HDD, m_pRequestPage);
            } else if (r && r->m_eBaseViewStatus == VIEW_STATE_LOGIN) {
                chainTo(SERVER_ETC_FIRST_OPEN, m_pRequestPage);
            }
            return true;
        case SERVER_ERROR_UPDATE_CHECK_SAVE_DRIVE_UPDATE_HDD:
            chainTo(SERVER_ETC_SAVE_TO_HDD, m_pRequestPage);
            return true;
        case SERVER_ERROR_COPY_FAIL: {
            wchar_t letter = r && r->m_pPageCarUpdate ? r->m_pPageCarUpdate->m_chDrive : 0;
            if (letter) {
                std::vector<wchar_t> drives = presentDrives();
                bool present = false;
                for (wchar_t d : drives) present = present || towupper(d) == towupper(letter);
                if (!present) return true;
            }
            return false;
        }
        case SERVER_ETC_SAVE_TO_HDD:
            if (r && r->m_pPageCarReg) m_pRequestPage = static_cast<CWnd*>(r->m_pPageCarReg);
            return false;
        case SERVER_ETC_REMOVE_DOWNLOAD:
            // The frame logs what stayed; this page has no answer to show.
            if (services().deleteDownloadFiles) services().deleteDownloadFiles();
            setMessageType(m_ePrevMessageType, m_pRequestPage);
            closePage(FALSE);
            return true;
        case SERVER_ERROR_ETC_OPEN_SOURCE_LICENSE:
        case SERVER_ERROR_ETC_EULA:
            if (m_ePrevMessageType != SERVER_ETC_DATA_CONSENT) setMessageType(m_ePrevMessageType, m_pRequestPage);
            closePage(FALSE);
            return true;
        case SERVER_ETC_INSERT_MEDIUM:
            return !hasRemovableDrive();
        case SERVER_ETC_SAVE_TO_SD:
            if (!hasRemovableDrive()) {
                if (m_pRequestPage && m_pRequestPage->GetSafeHwnd()) {
                    ::SendMessageW(m_pRequestPage->GetSafeHwnd(), RWM_MESSAGE_RESULT, 0, type);
                }
                closePage(FALSE);
                return true;
            }
            return false;
        case SERVER_ERROR_NETWORK_FAIL:
            return !isInternetConnected() && r && r->m_eBaseViewStatus == VIEW_STATE_LOGIN;
        default:
            return false;
    }
}

// The delivery's own cases; TRUE when nothing goes to the requester.
bool CDlgPageMessage::deliverOkOnPage(int type) {
    CDlgRoot* r = root();
    if (type == SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT || type == SERVER_ERROR_UPDATE_CHECK_INF_LIMIT) {
        forgetLogo(r);
        g_strCorpCode = L"N";
        if (r) r->returnToLogin(type == SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT ? m_nAnsweredBrand : 0);
        return true;
    }
    if (type == SERVER_ETC_MEDIUM_MATCHED && m_pRequestPage && services().showPageAfterLogin) {
        return services().showPageAfterLogin() != FALSE;
    }
    return false;
}

// Cancel's answers that send nothing; TRUE when handled.
bool CDlgPageMessage::answerCancelOnPage() {
    CDlgRoot* r = root();
    const int type = m_eMessageType;
    switch (type) {
        case SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_HDD:
        case SERVER_ETC_FIRST_OPEN:
            OnBnClickedButtonChangeFolder();
            return true;
        case SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT: {
            if (!r) return true;
            CString code = getCorpCode(r->m_nMediumCorp);
            if (g_strCorpCode != code) {
                CRegSetting::setLastUserCorp(r->m_nMediumCorp);
                r->showTitleButtons(0);
                CFontCache::selectFace();
                g_strCorpCode = code;
                g_strJoinCorpCode = code;
                r->m_nCorp = r->m_nMediumCorp;
                switchRoot(VIEW_STATE_LOGIN);
            } else if (CRegSetting::getRegion() == REGION_KR && !g_bGuestLogin) {
                if (r->m_bHasRegisteredVehicle == 1) {
                    switchRoot(VIEW_STATE_CAR_REG);
                } else if (r->m_eBaseViewStatus != VIEW_STATE_LOGIN) {
                    switchRoot(VIEW_STATE_CAR_CHANGE);
                } else {
                    switch (CRegSetting::getLastUserCorp()) {
                        case CORP_TS: chainTo(SERVER_ETC_NO_VEHICLE_TS, this); break;
                        case CORP_DR: chainTo(SERVER_ETC_NO_VEHICLE_DR, this); break;
                        case CORP_LV: chainTo(SERVER_ETC_NO_VEHICLE_LV, this); break;
                        default: break;
                    }
                }
            } else {
                BOOL shown = services().showPageAfterLogin ? services().showPageAfterLogin() : FALSE;
                if (!shown) switchRoot(VIEW_STATE_CAR_CHANGE);
            }
            return true;
        }
        case SERVER_ETC_NO_VEHICLE_TS:
        case SERVER_ETC_NO_VEHICLE_DR:
        case SERVER_ETC_NO_VEHICLE_LV:
            if (CRegSetting::isFirstOpenProgram()) {
                chainTo(SERVER_ETC_FIRST_OPEN, this);
            } else {
                switchRoot(VIEW_STATE_CAR_REG);
            }
            return true;
        case SERVER_ERROR_DOWNLOAD_FILE_SIZE:
            switchRoot(VIEW_STATE_CAR_REG);
            return true;
        default:
            return false;
    }
}

void CDlgPageMessage::lockTopButtons() {
    CDlgRoot* r = root();
    if (!r) return;
    r->enableTopButton(0, r, FALSE);
    if (r->m_btnLogout.GetSafeHwnd()) r->m_btnLogout.setEnable(FALSE);
    if (g_bSignedIn) {
        if (r->m_btnConfig.GetSafeHwnd()) r->m_btnConfig.ShowWindow(SW_SHOW);
        if (r->m_btnLogout.GetSafeHwnd()) r->m_btnLogout.ShowWindow(SW_SHOW);
    }
    if (r->m_btnExit.GetSafeHwnd()) {
        r->m_btnExit.setEnable(r->exitLocks().empty() ? TRUE : FALSE);
        r->m_btnExit.Invalidate(FALSE);
    }
}

void CDlgPageMessage::OnBnClickedButtonChangeFolder() {
    if (g_bFolderPickerOpen) return;
    const int type = m_eMessageType;
    const CString current = CRegSetting::getDataPath();
    if (type == SERVER_ETC_HIDDEN_UNZIP_DONE) {
        CGlobalFunc::openUrl(current);
        return;
    }
    CDlgRoot* r = root();
    lockTopButtons();
    CString chosen = r ? r->browseFolder(current) : CString();
    if (r) {
        r->enableTopButton(0, r, TRUE);
        if (r->m_btnLogout.GetSafeHwnd()) {
            r->m_btnLogout.setEnable(CDlgRoot::isRestrictedRegion(CRegSetting::getRegion(), r->m_nCorp) ? FALSE : TRUE);
        }
        if (g_bSignedIn) {
            if (r->m_btnConfig.GetSafeHwnd()) r->m_btnConfig.ShowWindow(SW_SHOW);
            if (r->m_btnLogout.GetSafeHwnd()) r->m_btnLogout.ShowWindow(SW_SHOW);
        }
        if (r->m_btnExit.GetSafeHwnd()) r->m_btnExit.setEnable(r->exitLocks().empty() ? TRUE : FALSE);
    }

    if (!chosen.IsEmpty() && chosen != current) {
        int kind = r && r->m_pPageConfig ? r->m_pPageConfig->checkPathType(chosen) : 2;
        if (kind == 0) {
            CRegSetting::setDataPath(chosen);
            if (services().setFrameDataPath) services().setFrameDataPath(chosen);
            showFolderPath(CRegSetting::getDataPath());
        } else if (kind == 1) {
            chainTo(SERVER_ERROR_UPDATE_CHECK_SAVE_DRIVE_UPDATE_HDD, this);
            CString drive;
            drive.Format(L"%s:\\", chosen.Left(1).GetString());
            CString record;
            record.Format(L"[E:%d,T:%s,VN:%s,ED:PATHTYPE]", STAT_STAGE_FOLDER, CGlobalFunc::getTimeStamp().GetString(),
                          drive.GetString());
            g_logManager.AddStatistics(record);
        } else {
            setParam(chosen, 0);
            chainTo(SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD, this);
        }
    }
    if (type == SERVER_ETC_FIRST_OPEN && m_editFolderPath.GetSafeHwnd()) {
        m_editFolderPath.modifyAlignStyle(ES_LEFT | ES_RIGHT, ES_CENTER);
        CDLang::moveWnd(this, &m_editFolderPath, 20, 370, 860, 20, 2);
        showFolderPath(CRegSetting::getDataPath());
    }
}

// One yes/no pair: the clicked button's state is already toggled.
void CDlgPageMessage::consentRadio(int yes, int no, bool yesClicked, int& answer) {
    CPngWithTextButton& yesButton = m_radio[yes];
    CPngWithTextButton& noButton = m_radio[no];
    CPngWithTextButton& clicked = yesClicked ? yesButton : noButton;
    const int clickedValue = yesClicked ? 1 : 0;
    bool yesChecked;
    if (clicked.m_bChecked) {
        yesChecked = yesClicked;
        answer = clickedValue;
        (yesClicked ? noButton : yesButton).SetFocus();
    } else if (answer == clickedValue) {
        yesChecked = yesClicked;
    } else {
        yesChecked = !yesClicked;
        answer = 1 - clickedValue;
        (yesClicked ? noButton : yesButton).SetFocus();
    }
    yesButton.m_bChecked = yesChecked ? TRUE : FALSE;
    noButton.m_bChecked = yesChecked ? FALSE : TRUE;
    yesButton.Invalidate(FALSE);
    noButton.Invalidate(FALSE);
}

void CDlgPageMessage::OnBnClickedRadioConsent1Yes() { consentRadio(0, 1, true, g_nSendVcrmDesc1); }
void CDlgPageMessage::OnBnClickedRadioConsent1No() { consentRadio(0, 1, false, g_nSendVcrmDesc1); }
void CDlgPageMessage::OnBnClickedRadioConsent2Yes() { consentRadio(2, 3, true, g_nSendVcrmDesc2); }
void CDlgPageMessage::OnBnClickedRadioConsent2No() { consentRadio(2, 3, false, g_nSendVcrmDesc2); }
