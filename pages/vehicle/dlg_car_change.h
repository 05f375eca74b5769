#pragma once
// Vehicle search and change page (view VIEW_STATE_CAR_CHANGE): a search box
// over model codes and software versions with a drop-down result list, the
// car and device lists of the account's vehicles, the chosen device's
// picture and lines, OK to take it to the registration page and Cancel to
// go back there.
#include "pages/vehicle/car_search_index.h"
#include "ui/base_child_dialog.h"
#include "ui/edit_ctrl.h"
#include "ui/image_combo.h"
#include "ui/list_wnd.h"
#include "ui/png_button.h"
#include "ui/png_with_text_button.h"
#include "ui/static_ex.h"

#include <map>
#include <memory>

class InfInfo;
class CDlgRoot;
class CMainFrame;

class CDlgCarChange : public CBaseChildDialog {
public:
    explicit CDlgCarChange(CBaseDialog* root);
    ~CDlgCarChange() override;

    BOOL showPage(BOOL show) override;
    BOOL initPage() override;

    // ---- the search (dlg_car_change_search.cpp)
    // The refresh after every change of the search text.
    void OnEnUpdateSearchText();
    void fillAllVehicles();
    void fillCarList();
    void fillResultList(const CString& text);
    void selectResult(const CString& text);
    void fillDeviceList(const CString& carText);
    // The search states: each empties the box and runs the refresh.
    void setSearchCar();
    void setSearchModel();
    // The names the user sees for an entry in the current language.
    CarDisplayNames displayNames() const;
    CString displayCarName(const InfInfo& entry) const;
    CString displayDeviceName(const InfInfo& entry) const;

    InfInfo* m_pSelInf = nullptr;  // not owned
    // m_mapCar, m_mapSoftware, m_mapModel, m_mapResult and their lists.
    CarSearchIndex m_index;
    CImageCombo m_comboHidden;
    CImageCombo m_comboFrame;
    BOOL m_bHideResultList = FALSE;
    BOOL m_bHasResult = FALSE;
    CPngWithTextButton m_btnRightMsg;
    std::multimap<CString, const InfInfo*> m_mapSwMask;
    CPngButton m_btnSearchCar;
    CPngButton m_btnSearchModel;
    CPngButton m_btnSearchSw;
    CPngButton m_btnOk;
    CPngButton m_btnCancel;
    CStaticEx m_stCarListTitle;
    CStaticEx m_stDeviceListTitle;
    CStaticEx m_stChangMsg;
    CStaticEx m_stVerTitle;
    CStaticEx m_stSelTitle;
    CStaticEx m_stCarImage;
    std::unique_ptr<CListWnd> m_pListCar;
    std::unique_ptr<CListWnd> m_pListDevice;
    std::unique_ptr<CListWnd> m_pListResult;
    std::unique_ptr<CStringList> m_pCarItems;
    std::unique_ptr<CStringList> m_pDeviceItems;
    std::unique_ptr<CStringList> m_pResultItems;
    BYTE m_bRefreshOnShow = 0;
    Gdiplus::Bitmap* m_pSearchIcon = nullptr;  // owned
    CBrush m_whiteBrush;
    CEditCtrl m_editSearch;
    CStaticEx m_stSelect1;
    CStaticEx m_stSelect2;
    CStaticEx m_stSelect3;
    // OK is loading the chosen descriptor (the load pumps this page's
    // messages, so a second press would load and hand over again).
    BOOL m_bOkBusy = FALSE;
    BOOL m_bInRefresh = FALSE;

    void setControlTexts();
    void setControlFonts();
    void layoutControls();
    // OK is enabled only for a chosen vehicle with a descriptor name.
    void updateOkButton();
    void OnBnClickedOk();
    void OnBnClickedCancel();
    void OnBnClickedRightMsg();
    void OnBnClickedSearchCar();
    void OnBnClickedSearchModel();
    void OnBnClickedSearchSw();

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnShowWindow(BOOL show, UINT status);
    LRESULT OnListSelect(WPARAM wParam, LPARAM lParam);
    LRESULT OnRegisteredMessage_ChangeLanguage(WPARAM wParam, LPARAM lParam);
    LRESULT OnRegisteredMessage_MessageResult(WPARAM wParam, LPARAM lParam);
    HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT ctlColor);
    DECLARE_MESSAGE_MAP()

private:
    void initControls();
    void createList(std::unique_ptr<CListWnd>& list, std::unique_ptr<CStringList>& items, int id);
    void setBrandImages();
    void setSearchState(CPngButton& checked, int labelText, bool boxShown);
    void showChosenDevice(InfInfo* entry);
    void addOkStatistics(InfInfo* entry);
    void selectInList(CListWnd* list, const CString& text);
    void relayoutList(CListWnd* list);
    void setRows(CListWnd* list, const std::vector<CString>& rows);
    CMainFrame* frame() const;
    CDlgRoot* root() const;
    const std::list<InfInfo*>* vehicles() const;
};
