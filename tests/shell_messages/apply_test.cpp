// The built texts reach the controls through the language manager exactly
// as the builder resolves them, placeholders included.
#include "shell/messages/message_apply.h"
#include "tests/shell_messages/messages_fixture.h"

#include <map>

using namespace msg;

namespace {

class ControlWindows {
public:
    ControlWindows() {
        m_parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 900, 590, nullptr, nullptr, nullptr, nullptr);
        for (int id : {kHeading, kTitle, kSubtitle, kText1, kText2, kText3, kDetail1, kDetail2, kLink, kCheck, kOk,
                       kCancel}) {
            m_children[id] = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, m_parent,
                                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        }
    }
    ~ControlWindows() { DestroyWindow(m_parent); }
    HWND operator()(int id) const {
        auto it = m_children.find(id);
        return it == m_children.end() ? nullptr : it->second;
    }
    CString text(int id) const {
        wchar_t buffer[2048] = {};
        GetWindowTextW((*this)(id), buffer, 2048);
        return buffer;
    }

private:
    HWND m_parent = nullptr;
    std::map<int, HWND> m_children;
};

}  // namespace

TEST_F(LanguageTest, EveryTypeReachesItsControlsAsBuilt) {
    ControlWindows windows;
    CDLang lang;
    std::size_t count = 0;
    const MessageTypeRow* table = messageTypeTable(&count);
    std::map<int, CString> values;
    const TextTargets targets{[&](int id) { return windows(id); },
                              [&](int id, const CString& v) {
                                  values[id] = v;
                                  SetWindowTextW(windows(id), v.GetString());
                              }};
    for (int region : {REGION_US, REGION_KR}) {
        for (std::size_t i = 0; i < count; ++i) {
            MessageContext ctx = context(LANGUAGE_EN, region);
            ctx.params = {{0, L"4"}, {1, L"A"}, {2, L"B"}, {3, L"C"}, {4, L"D"}};
            ctx.messageNumber = L"7";
            const MessageContent content = buildTexts(table[i].type, ctx);
            applyMessageTexts(lang, 91, content, targets);
            for (const auto& [control, texts] : content.controls) {
                EXPECT_EQ(windows.text(control), shown(content, control)) << table[i].type << " control " << control;
                EXPECT_EQ(values.count(control) != 0, texts.isValue) << table[i].type << " control " << control;
                values.erase(control);
            }
        }
    }
}
