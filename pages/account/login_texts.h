#pragma once
// The login page's text ids, skins by brand and region, and the small rules
// it shares with its worker: pure, so the tests read the same values.
#include "afx/string.h"

#include <windows.h>

constexpr int kTextTitle = 12001;
constexpr int kTextBrandTs = 12002;
constexpr int kTextBrandLv = 12003;
constexpr int kTextBrandDr = 12004;
constexpr int kTextGuest = 12005;
constexpr int kTextIdHint = 12006;
constexpr int kTextPasswordHint = 12008;
constexpr int kTextSaveId = 12009;
constexpr int kTextAutoLogin = 12010;
constexpr int kTextLogin = 12011;
constexpr int kTextJoin = 12014;
constexpr int kTextLoading = 12032;
constexpr int kTextWrongIdPassword = 12042;
constexpr int kTextPreparing = 12274;
constexpr int kTextLoginGuest = 12700;
constexpr int kTextFindAccount = 13013;

// Posted by the paint when a sign-up notice left a brand pending: the
// non-member login starts outside the paint.
constexpr UINT UM_LOGIN_PENDING_JOIN = WM_APP + 0x127;

// The login buttons' strip: TS 459, LV 461 (1733 in regions US and CA), DR 460.
UINT loginButtonStrip(int corp, int region);
// The brand picture: TS 458, LV 411 (1744 in regions US and CA), DR 410; 0
// for any other brand (the picture is left as it is).
UINT brandPicture(int corp, int region);
// "TS", "LV", "DR", else "N".
CString corpCodeOrNone(int corp);
// "SEND_VCRM_DESC0" of the settings reads 1 (the consent report was sent).
bool isSendVcrmDesc0();
// The page title as shown: outside KR the French title is one line.
CString loginTitleText(const CString& text, int region, int language);
// The shown title breaks into two lines (a break after its first character).
bool loginTitleHasTwoLines(const CString& text, int region, int language);
