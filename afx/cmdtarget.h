#pragma once
// CCmdTarget: the root of every class with a message map. Commands are
// routed by OnCmdMsg through the map chain; CWnd adds window messages.
#include "afx/msgmap.h"
#include "afx/object.h"

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    // nCode: notification code in the low word, WM_COMMAND (0 counts as it),
    // WM_NOTIFY or a reflected message in the high word. pExtra is an
    // AFX_NOTIFY for notify entries.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The first entry for a window message, from the most derived class up.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message) const;
    const AFX_MSGMAP_ENTRY* FindCommandEntry(UINT nMsg, UINT nCode, UINT nID) const;
};
