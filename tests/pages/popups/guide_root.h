#pragma once
// A root window like the program's (900 x 680) for the guide pages: it
// records the view calls and the title-button requests the pages make.
#include "resources/resource.h"
#include "ui/base_dialog.h"

#include <vector>

class GuideRoot : public CBaseDialog {
public:
    BOOL create() {
        m_nWidth = 900;
        m_nHeight = 680;
        if (!Create(IDD_BASE_DIALOG, nullptr)) return FALSE;
        SetWindowPos(nullptr, 40, 40, 900, 680, SWP_NOZORDER);
        loadImages();
        ShowWindow(SW_SHOW);
        return TRUE;
    }
    int pushViewPage(int view, BOOL) override {
        pushes.push_back(view);
        return 1;
    }
    void pullViewPage() override { ++pulls; }
    void enableTopButton(int kind, CWnd*, BOOL enable) override { buttons.push_back(kind * 10 + (enable ? 1 : 0)); }

    std::vector<int> pushes;
    int pulls = 0;
    std::vector<int> buttons;
};
