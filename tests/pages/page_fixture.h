#pragma once
// What the tests of the stand-in pages share: a root window like the
// program's (900 x 680, header band on top) that the pages are children of,
// and the check that a page comes up under it, paints its name and view,
// and records the page interface's calls.
#include "tests/ui_bases/ui_env.h"

#include "pages/account/placeholder_page.h"
#include "ui/base_dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class PageTestRoot : public CBaseDialog {
public:
    BOOL create();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

struct PageCase {
    const wchar_t* className;
    UINT templateId;
    int carriedView;  // m_ePageViewStatus
    int servedView;   // the view painted
    std::function<CPlaceholderPage*(CBaseDialog*)> make;
};

class PlaceholderPages : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Builds the page and creates its window from its template.
    CPlaceholderPage* createPage(const PageCase& c);
    // Creates, shows, photographs and checks one page; the page stays for
    // further checks.
    CPlaceholderPage* checkPage(const PageCase& c);

    PageTestRoot root;
    std::unique_ptr<CPlaceholderPage> page;
};

void destroyPage(std::unique_ptr<CPlaceholderPage>& page);

// A call log as one line, "a|b|c", for readable comparisons.
std::string joined(const std::vector<CString>& calls);
