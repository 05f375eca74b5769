#pragma once
// Settings page (view VIEW_STATE_CONFIG), an overlay over the current view:
// region, language and brand, the download folder, the automatic sign-in,
// the licence and terms views, removal of downloads and the head unit's
// BT/ID. The region and language lists follow the service's language list
// (/api/GetLanguage), synchronised each time the view is opened. OK stores
// the choices and asks the root for a reset when region or brand changed;
// Cancel puts back what was stored.
#include "pages/account/language_lists.h"
#include "pages/account/placeholder_page.h"
#include "ui/edit_ctrl.h"
#include "ui/image_combo.h"
#include "ui/png_button.h"
#include "ui/png_with_text_button.h"
#include "ui/static_ex.h"

#include <functional>
#include <vector>

class CDlgRoot;
class IShellFrame;

class CDlgPageConfig : public CPlaceholderPage {
public:
    explicit CDlgPageConfig(CBaseDialog* root);
    ~CDlgPageConfig() override;

    // ---- what the root and the other pages call
    BOOL showPage(BOOL show) override;
    BOOL initPage() override;
    void loadSettings();
    void checkLanguageCodeFromServer(BOOL force);
    void getLanguageCodeFromServer();
    // 0 the folder can be the download folder, 1 its drive cannot, 2 the
    // folder cannot (missing, read-only, not a folder). Reads no page state.
    static int checkPathType(const CString& path);
    // The folder attributes checkPathType reads (GetFileAttributesW); tests
    // replace them, as Wine keeps no read-only mark on a folder. Empty puts
    // the platform's back.
    using AttributeReader = std::function<DWORD(const CString& path)>;
    static void setAttributeReader(AttributeReader reader);

    // ---- lists and choices
    void fillLanguageCombo();
    void fillRegionCombo();
    void fillBrandCombo();
    void selectLanguageItem(int language);
    void selectRegionItem(int region);
    void selectBrandItem(int corp);
    int getSelectedLanguage() const;
    int getSelectedRegion() const;
    int getSelectedBrand() const;

    // ---- look
    void initControls();
    void refreshPage();
    void refreshTexts();
    void applyFonts();
    void layoutControls();
    void showFittedPath();
    void ShowBTID();
    void applySignInRule(int region, int corp);

    // ---- page state
    int m_nSavedLanguage = 2;
    int m_nCurLanguage = 2;
    int m_nSavedRegion = 1;
    int m_nCurRegion = 1;
    int m_nSavedCorp = 0;
    int m_nCurCorp = 0;
    int m_nPageCorp = 0;
    int m_nUserType = 0;
    BOOL m_bRadioYes = FALSE;
    BOOL m_bRadioNo = FALSE;
    CString m_strShownFolder;
    std::vector<int> m_vecLanguageIds;
    std::vector<int> m_vecRegionIds;
    std::vector<int> m_vecCorpIds;
    LanguageCodeTable m_languageTable;
    int m_nLanguageResult = -1;  // 200: synchronised
    BOOL m_bSynced = FALSE;
    BOOL m_bServerList = FALSE;
    BOOL m_bNoticeShown = FALSE;
    BOOL m_bRefillLanguages = FALSE;
    BOOL m_bCorpTouched = FALSE;
    BOOL m_bOwnChange = FALSE;
    // The automatic sign-in group (and with it the BT/ID line) is shown.
    bool m_bSignInShown = true;
    // A message the forced check raised before the page was shown; raised
    // once the page shows (0: none).
    int m_nPendingMessage = 0;

    // ---- controls
    CStaticEx m_staticTitle, m_staticCorp, m_staticBrand, m_staticLanguage, m_staticFolder, m_staticFolderComment;
    CStaticEx m_staticRemove, m_staticRemoveText, m_staticAuto, m_staticAutoComment, m_staticRadioYes,
        m_staticRadioNo, m_staticBtId;
    CImageCombo m_comboRegion, m_comboBrand, m_comboLanguage;
    CEditCtrl m_editFolder, m_editFolderFrame, m_editSeparator;
    CPngButton m_btnChangeFolder, m_btnRemove, m_btnLicense, m_btnAgreement, m_btnOk, m_btnCancel;
    CPngWithTextButton m_radioYes, m_radioNo;

    // ---- handlers (public: the tests drive them as the messages do)
    void OnBnClickedButtonOk();
    void OnBnClickedButtonCancel();
    void OnBnClickedButtonChangeFolder();
    void OnBnClickedButtonLicenseView();
    void OnBnClickedButtonAgreementView();
    void OnBnClickedButtonRemoveFile();
    void OnCbnDropdownLanguage();
    void OnCbnSelendokLanguage();
    void OnCbnSelendokRegion();
    void OnCbnSelendokBrand();
    void OnBnClickedRadioYes();
    void OnBnClickedRadioNo();
    void OnBnClickedStaticRadioYes();
    void OnBnClickedStaticRadioNo();

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnShowWindow(BOOL show, UINT status);
    LRESULT OnRegisteredMessage_ChangeLanguage(WPARAM wParam, LPARAM lParam);
    LRESULT OnRegisteredMessage_MessageResult(WPARAM wParam, LPARAM lParam);
    LRESULT OnCloseDropdown(WPARAM wParam, LPARAM lParam);
    LRESULT OnRaisePending(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CDlgRoot* root() const;
    IShellFrame* frame() const;
    void chooseLanguage(int language);
    void showFolder(const CString& folder);
    void closeToBaseView();
    void restoreTitleButtons();
    void raiseMessage(int type);
    void updateRadios();
    void setRadioLook(BOOL enabled);
    CString loadText(int id) const;
    // The id of the list's selection, of item 0 when none is selected; -1
    // for an empty list.
    static int idAtSelection(const CImageCombo& combo, const std::vector<int>& ids);
};
