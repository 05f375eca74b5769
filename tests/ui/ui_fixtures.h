#pragma once
// Shared fixtures of the toolkit tests.
#include "foundation/code_tables.h"
#include "ui/lang_library.h"

#include <gtest/gtest.h>

#include <vector>

// The real language library in English; a test may swap in another library
// (or none) and a missing path, both restored afterwards. Message boxes are
// recorded instead of shown.
class LangLibraryTest : public testing::Test, private IAfxMessageBoxSeam {
protected:
    void SetUp() override {
        m_previousSeam = AfxSetMessageBoxSeam(this);
        CLangLibrary::setLibraryPath(CString());
        ASSERT_TRUE(CLangLibrary::loadLanguage(LANGUAGE_EN));
        m_real = CLangLibrary::library();
    }
    void TearDown() override {
        HMODULE swapped = CLangLibrary::exchangeLibrary(m_real);
        if (swapped && swapped != m_real) FreeLibrary(swapped);
        for (HMODULE m : m_loaded) if (m != swapped && m != m_real) FreeLibrary(m);
        CLangLibrary::setLibraryPath(CString());
        CLangLibrary::loadLanguage(LANGUAGE_EN);
        AfxSetMessageBoxSeam(m_previousSeam);
    }

    // Reads texts from another library (owned by the fixture) or from none.
    void useLibrary(HMODULE library) {
        HMODULE old = CLangLibrary::exchangeLibrary(library);
        if (old && old != m_real) m_loaded.push_back(old);
    }

    int show(HWND, LPCWSTR text, LPCWSTR, UINT) override {
        s_messages.push_back(text);
        return IDOK;
    }
    static inline std::vector<CString> s_messages;

private:
    HMODULE m_real = nullptr;
    std::vector<HMODULE> m_loaded;
    IAfxMessageBoxSeam* m_previousSeam = nullptr;
};

// A hidden top-level window with static children, for the language manager
// and the layout functions.
class Windows {
public:
    Windows() {
        m_parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    }
    ~Windows() {
        if (m_parent) DestroyWindow(m_parent);
    }
    HWND parent() const { return m_parent; }
    HWND child(const wchar_t* text = L"") {
        return CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, m_parent, nullptr, nullptr,
                               nullptr);
    }
    static CString text(HWND hwnd) {
        wchar_t buffer[1024] = {};
        GetWindowTextW(hwnd, buffer, 1024);
        return buffer;
    }

private:
    HWND m_parent = nullptr;
};

inline void PrintTo(const CString& s, std::ostream* os) {
    *os << '"' << CW2A(s.GetString(), CP_UTF8) << '"';
}
