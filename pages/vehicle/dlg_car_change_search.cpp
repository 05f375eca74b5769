// The vehicle search page's search: the refresh after each change of the
// search box, the car, device and result lists it fills, and how a chosen
// row travels from the result list to the car list to the device list to
// the chosen vehicle.
#include "pages/vehicle/dlg_car_change.h"

#include "descriptors/inf_info.h"
#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/private_messages.h"
#include "foundation/program_strings.h"
#include "foundation/regsetting.h"
#include "pages/vehicle/car_change_layout.h"
#include "resources/resource.h"
#include "shell/dlg_root.h"
#include "shell/main_frame.h"
#include "ui/dlang.h"
#include "ui/lang_library.h"
#include "ui/view_state.h"

#include <imm.h>

namespace {

CString text(int id) { return CLangLibrary::loadLangString(static_cast<UINT>(id)); }

const int NO_VEHICLE = 12166;
const int NO_VEHICLE_HINT = 12167;

}  // namespace

CString CDlgCarChange::displayCarName(const InfInfo& entry) const {
    const CString intl = entry.getCarNameIntl();
    return getLangCode(intl) == L"KO" ? entry.getCarName() : intl;
}

CString CDlgCarChange::displayDeviceName(const InfInfo& entry) const {
    const CString intl = entry.getDeviceNameIntl();
    return getLangCode(intl) == L"KO" ? entry.getDeviceName() : intl;
}

CarDisplayNames CDlgCarChange::displayNames() const {
    return {[this](const InfInfo& e) { return displayCarName(e); },
            [this](const InfInfo& e) { return displayDeviceName(e); }};
}

void CDlgCarChange::setRows(CListWnd* list, const std::vector<CString>& rows) {
    if (!list || !list->m_pItems) return;
    list->m_pItems->RemoveAll();
    for (const CString& row : rows) list->m_pItems->AddTail(row);
    // A selection of the rows that went would still choose a vehicle.
    list->m_strSelected.Empty();
}

void CDlgCarChange::relayoutList(CListWnd* list) {
    if (!list || !list->GetSafeHwnd() || list->m_bSnapshot) return;
    list->scrollToTop();
    list->recalcLayout();
}

void CDlgCarChange::selectInList(CListWnd* list, const CString& row) {
    if (!list) return;
    list->scrollToTop();
    list->selectItemByText(row);
}

void CDlgCarChange::OnEnUpdateSearchText() {
    // Writing the filtered text back notifies again; this run already
    // goes on with that text.
    if (m_bInRefresh || !m_editSearch.GetSafeHwnd()) return;
    m_bInRefresh = TRUE;
    CString typed;
    m_editSearch.getText(typed, FALSE);
    if (typed.IsEmpty() && m_pListResult) m_pListResult->m_nKeyboardRow = -1;

    if (HIMC imc = ImmGetContext(m_editSearch.GetSafeHwnd())) {
        ImmSetConversionStatus(imc, 0, IME_SMODE_CONVERSATION);
        ImmReleaseContext(m_editSearch.GetSafeHwnd(), imc);
    }

    DWORD start = 0, end = 0;
    m_editSearch.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const car_search::FilteredInput filtered = car_search::filterSearchInput(typed, static_cast<int>(start));
    if (filtered.changed) m_editSearch.SendMessage(EM_SETMODIFY, TRUE, 0);
    if (m_editSearch.SendMessage(EM_GETMODIFY, 0, 0)) {
        m_editSearch.setText(filtered.text, FALSE);
        m_editSearch.SendMessage(EM_SETSEL, filtered.caret, filtered.caret);
        m_editSearch.SendMessage(EM_SCROLLCARET, 0, 0);
        m_editSearch.SendMessage(EM_SETMODIFY, FALSE, 0);
    }
    const CString search = filtered.text;
    m_editSearch.setHintText(search.IsEmpty() ? text(12165) : search);

    m_index.clear();
    const std::list<InfInfo*>* list = vehicles();
    if (search.IsEmpty()) {
        fillAllVehicles();
    } else if (list) {
        m_index.search(search, *list, m_mapSwMask, displayNames());
    }
    fillCarList();
    fillResultList(search);

    if (m_pListResult) {
        m_pListResult->m_strSearch = car_search::highlightText(search, m_index.m_listResult);
        m_pListResult->setListStyle(m_bHasResult ? L"S" : L"SF");
        m_pListResult->m_highlightColor =
            car_change_layout::brandFor(CRegSetting::getLastUserCorp(), CRegSetting::getRegion()).highlight;
        m_pListResult->Invalidate(FALSE);
    }
    m_bInRefresh = FALSE;
}

void CDlgCarChange::fillAllVehicles() {
    m_index.clear();
    if (const std::list<InfInfo*>* list = vehicles()) m_index.fillAll(*list, displayNames());
}

void CDlgCarChange::fillCarList() {
    if (!m_pListCar || !vehicles()) return;
    std::vector<CString> rows = m_index.carRows(CString(g_strCorpCode));
    const bool none = rows.empty();
    if (none) rows.push_back(text(NO_VEHICLE));
    setRows(m_pListCar.get(), rows);
    if (none) {
        m_btnOk.setEnable(FALSE);
    } else {
        updateOkButton();
    }
    m_pListCar->selectItemByText(rows.front());
    for (CListWnd* l : {m_pListCar.get(), m_pListDevice.get(), m_pListResult.get()}) relayoutList(l);
}

void CDlgCarChange::fillResultList(const CString& search) {
    if (!m_pListResult || !vehicles()) return;
    std::vector<CString> rows = m_index.resultRows();
    setRows(m_pListResult.get(), rows);
    m_pListResult->ShowWindow(search.IsEmpty() ? SW_HIDE : SW_SHOW);
    SendMessage(UM_LIST_SELECT, 0, 0);
    if (!rows.empty()) {
        m_bHasResult = TRUE;
        m_pListResult->selectItemByText(rows.front());
    } else {
        m_bHasResult = FALSE;
        setRows(m_pListResult.get(), {text(NO_VEHICLE), text(NO_VEHICLE_HINT)});
        if (!search.IsEmpty()) {
            if (CDlgRoot* r = root()) r->setVehicleImage(&m_stCarImage, nullptr);
            for (CStaticEx* s : {&m_stSelect1, &m_stSelect2, &m_stSelect3}) s->SetWindowText(L"\t");
        }
    }
    for (CListWnd* l : {m_pListCar.get(), m_pListDevice.get(), m_pListResult.get()}) relayoutList(l);
    const car_change_layout::Placement p =
        car_change_layout::listPlacement(2, static_cast<int>(m_pListResult->m_pItems->GetCount()));
    CGlobalFunc::moveChildWindow(m_hWnd, m_pListResult->GetSafeHwnd(), p.x, p.y, p.width, p.height, 2);
}

void CDlgCarChange::selectResult(const CString& chosen) {
    if (!m_pListCar || !m_pListDevice) return;
    const CarSearchIndex::Chosen rows = m_index.selectResult(chosen, displayNames());
    setRows(m_pListCar.get(), rows.cars);
    relayoutList(m_pListCar.get());
    setRows(m_pListDevice.get(), rows.devices);
    relayoutList(m_pListDevice.get());
    if (!rows.cars.empty()) m_pListCar->selectItemByText(rows.cars.front());
    if (!rows.devices.empty()) m_pListDevice->selectItemByText(rows.devices.front());
}

void CDlgCarChange::fillDeviceList(const CString& carText) {
    if (!m_pListDevice) return;
    const std::vector<CString> rows =
        m_index.deviceRows(carText, displayNames(), CRegSetting::getLanguage() == LANGUAGE_KO);
    setRows(m_pListDevice.get(), rows);
    if (rows.empty()) {
        m_pListDevice->Invalidate(FALSE);
        return;
    }
    for (CListWnd* l : {m_pListCar.get(), m_pListDevice.get(), m_pListResult.get()}) relayoutList(l);
}

LRESULT CDlgCarChange::OnListSelect(WPARAM wParam, LPARAM) {
    switch (static_cast<int>(wParam)) {
        case 0:
        case 2:
            if (wParam == 0) {
                if (m_pListCar) fillDeviceList(m_pListCar->m_strSelected);
            } else if (m_pListResult) {
                selectResult(m_pListResult->m_strSelected);
            }
            if (m_pListDevice && m_pDeviceItems->GetCount() > 0) {
                m_pListDevice->selectItemByText(m_pDeviceItems->GetHead());
            }
            SendMessage(UM_LIST_SELECT, 1, 0);
            break;
        case 1: {
            m_pSelInf = nullptr;
            if (m_pListCar && m_pListDevice) {
                m_pSelInf = const_cast<InfInfo*>(
                    m_index.findDevice(withoutListMark(m_pListCar->m_strSelected),
                                       withoutListMark(m_pListDevice->m_strSelected), displayNames()));
            }
            showChosenDevice(m_pSelInf);
            if (!m_pSelInf) return 0;
            break;
        }
        default: break;
    }
    m_editSearch.SetFocus();
    return 0;
}

void CDlgCarChange::showChosenDevice(InfInfo* entry) {
    if (CDlgRoot* r = root()) r->setVehicleImage(&m_stCarImage, entry);
    updateOkButton();
    if (!entry) {
        for (CStaticEx* s : {&m_stSelect1, &m_stSelect2, &m_stSelect3}) s->SetWindowText(L"\t");
        m_stSelect2.ShowWindow(SW_SHOW);
        return;
    }
    m_stSelect1.SetWindowText(displayDeviceName(*entry));
    const int typeText = deviceTypeTextId(entry->getDeviceType());
    m_stSelect2.SetWindowText(typeText ? text(typeText) : CString());
    // The line draws nothing while empty: hidden, the page paints over the
    // type of the device chosen before.
    m_stSelect2.ShowWindow(typeText ? SW_SHOW : SW_HIDE);
    m_stSelect3.SetWindowText(text(12256) + L": " + getDriveTypeText(entry->getMediaType()));
    for (CStaticEx* s : {&m_stSelect1, &m_stSelect2, &m_stSelect3}) s->Invalidate(FALSE);
}

void CDlgCarChange::setSearchState(CPngButton& checked, int labelText, bool boxShown) {
    m_editSearch.setText(CString(), FALSE);
    OnEnUpdateSearchText();
    for (CPngButton* b : {&m_btnSearchCar, &m_btnSearchModel, &m_btnSearchSw}) {
        b->setCheck(b == &checked ? TRUE : FALSE);
        b->Invalidate(FALSE);
    }
    if (labelText == 12148) {
        if (CDlgRoot* r = root()) r->m_lang.setText(VIEW_STATE_CAR_CHANGE, &m_stChangMsg, labelText);
    } else {
        m_stChangMsg.SetWindowText(labelText ? text(labelText) : CString());
    }
    m_stChangMsg.ShowWindow(SW_HIDE);
    m_editSearch.ShowWindow(boxShown ? SW_SHOW : SW_HIDE);
}

void CDlgCarChange::setSearchCar() { setSearchState(m_btnSearchCar, 0, false); }

void CDlgCarChange::setSearchModel() { setSearchState(m_btnSearchModel, 12149, true); }

void CDlgCarChange::OnBnClickedSearchCar() {
    setSearchCar();
    layoutControls();
    Invalidate(TRUE);
}

void CDlgCarChange::OnBnClickedSearchModel() {
    setSearchModel();
    layoutControls();
    Invalidate(TRUE);
}

void CDlgCarChange::OnBnClickedSearchSw() {
    setSearchState(m_btnSearchSw, 12148, true);
    layoutControls();
    Invalidate(FALSE);
}

void CDlgCarChange::OnShowWindow(BOOL show, UINT status) {
    CBaseChildDialog::OnShowWindow(show, status);
    if (!show || !m_bRefreshOnShow) return;
    setSearchCar();
    setSearchModel();
    setControlTexts();
    m_bRefreshOnShow = 0;
    if (m_pListResult) m_pListResult->m_nKeyboardRow = -1;

    CMainFrame* f = frame();
    InfInfo* last = f ? f->findLastModeVehicle() : nullptr;
    if (!last) return;
    const CString car = car_search::stripBrandPrefix(displayCarName(*last), last->getBrandCode());
    selectInList(m_pListCar.get(), car);
    fillDeviceList(car);
    // Device names are never stripped: the device rows and their lookup
    // use them whole.
    selectInList(m_pListDevice.get(), displayDeviceName(*last));
    SendMessage(UM_LIST_SELECT, 1, 0);
}
