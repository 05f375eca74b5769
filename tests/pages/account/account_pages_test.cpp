// The stand-in page the written pages grew from: it comes up under the root
// from a template, paints its name and view, and records the calls the
// shell makes, which is the interface the root relies on.
#include "tests/pages/page_fixture.h"

#include "foundation/registered_messages.h"
#include "foundation/private_messages.h"
#include "resources/resource.h"
#include "ui/view_state.h"

#include <stdexcept>
#include <vector>

namespace {

template <class Page>
PageCase pageCase(const wchar_t* name, UINT templateId, int carried, int served) {
    return {name, templateId, carried, served, [](CBaseDialog* root) { return new Page(root); }};
}

const std::vector<PageCase>& accountPages() {
    static const std::vector<PageCase> cases = {
        {L"CPlaceholderPage", IDD_HIDDEN_PWD, VIEW_STATE_NONE, VIEW_STATE_HIDDEN_PWD,
         [](CBaseDialog* root) {
             return new CPlaceholderPage(IDD_HIDDEN_PWD, root, L"CPlaceholderPage", VIEW_STATE_HIDDEN_PWD);
         }},
    };
    return cases;
}

// Pages leave this table as they are written: tests find theirs by name.
const PageCase& accountPage(const wchar_t* className) {
    for (const PageCase& c : accountPages())
        if (wcscmp(c.className, className) == 0) return c;
    throw std::invalid_argument("no such stand-in page");
}

using AccountPages = PlaceholderPages;

// What the root relies on: a page that declines stays hidden, initPage
// answers what the test set, and the shell's registered messages and the
// frame's module errors are recorded per page.
TEST_F(AccountPages, PageInterfaceAnswersWhatTheTestSetAndRecordsMessages) {
    CPlaceholderPage* p = createPage(accountPage(L"CPlaceholderPage"));
    ASSERT_NE(nullptr, p);
    p->m_bShowResult = FALSE;
    p->m_bInitResult = FALSE;
    EXPECT_FALSE(p->showPage(TRUE));
    EXPECT_FALSE(p->IsWindowVisible());
    EXPECT_FALSE(p->m_bShown);
    EXPECT_FALSE(p->initPage());
    p->skipPage();
    EXPECT_EQ(0, p->setAutoSkip(FALSE));
    EXPECT_FALSE(p->m_bAutoSkip);
    ::SendMessageW(p->m_hWnd, RWM_MESSAGE_RESULT, 1, 1005);
    ::SendMessageW(p->m_hWnd, RWM_CHANGE_LANGUAGE, 0, 0);
    ::SendMessageW(p->m_hWnd, RWM_CONFIG_CLOSED, 0, 0);
    ::SendMessageW(p->m_hWnd, RWM_EXIT_PROGRAM_CANCEL, 0, 0);
    ::SendMessageW(p->m_hWnd, UM_MODULE_ERROR, MODULE_NETWORK, 0);
    EXPECT_EQ("showPage(1)|initPage|skipPage|setAutoSkip(0)|messageResult(1005,1)|changeLanguage|configClosed|"
              "exitProgramCancel|moduleError(501,0)",
              joined(p->calls()));
    EXPECT_EQ(1, p->callCount(L"initPage"));
    p->clearCalls();
    EXPECT_TRUE(p->calls().empty());
}

}  // namespace
