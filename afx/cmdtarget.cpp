#include "afx/cmdtarget.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message) const {
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (e->pnRegistered) {
                if (*e->pnRegistered == message && message != 0) return e;
            } else if (e->nMessage == message) {
                return e;
            }
        }
    }
    return nullptr;
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindCommandEntry(UINT nMsg, UINT nCode, UINT nID) const {
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (!e->pnRegistered && e->nMessage == nMsg && e->nCode == nCode && nID >= e->nID && nID <= e->nLastID) {
                return e;
            }
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, void*) {
    UINT nMsg = HIWORD(static_cast<DWORD>(nCode));
    if (nMsg == 0) nMsg = WM_COMMAND;
    UINT code = LOWORD(static_cast<DWORD>(nCode));
    // Notification codes are negative ints; entries keep them as UINT.
    if (nMsg == WM_NOTIFY || nMsg == WM_REFLECT_BASE + WM_NOTIFY) {
        auto* notify = static_cast<AFX_NOTIFY*>(pExtra);
        if (notify && notify->pNMHDR) code = notify->pNMHDR->code;
    }
    const AFX_MSGMAP_ENTRY* e = FindCommandEntry(nMsg, code, nID);
    if (!e) return FALSE;
    LRESULT ignored = 0;
    return e->pfn(this, nMsg, 0, reinterpret_cast<LPARAM>(pExtra), &ignored);
}
