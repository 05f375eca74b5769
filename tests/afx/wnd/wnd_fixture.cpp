#include "tests/afx/wnd/wnd_fixture.h"

#include "tests/support/capture.h"
#include "tests/support/test_support.h"

#include <gdiplus.h>


bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return done();
            }
            if (!AfxPreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        if (done()) return true;
        if (::GetTickCount() - start > timeoutMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void pumpFor(DWORD ms) {
    DWORD start = ::GetTickCount();
    pumpUntil([&] { return ::GetTickCount() - start >= ms; }, ms + 100);
}

void pressKey(WORD vk) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, in, sizeof(INPUT));
}

bool focusControl(CWnd& top, CWnd& control) {
    top.ShowWindow(SW_SHOW);
    top.SetForegroundWindow();
    control.SetFocus();
    return pumpUntil([&] {
        if (::GetForegroundWindow() != top.m_hWnd) top.SetForegroundWindow();
        if (::GetFocus() != control.m_hWnd) control.SetFocus();
        return ::GetForegroundWindow() == top.m_hWnd && ::GetFocus() == control.m_hWnd;
    });
}

void drainQueue() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

namespace {

bool pngEncoder(CLSID* clsid) {
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    if (!size) return false;
    std::vector<BYTE> buf(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buf.data());
    Gdiplus::GetImageEncoders(count, size, codecs);
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace

bool saveScreenshot(CWnd& wnd, const wchar_t* name, const char* shows) {
    wnd.UpdateWindow();
    pumpFor(100);
    CRect rc;
    wnd.GetWindowRect(&rc);
    CWindowDC src(&wnd);
    CDC mem;
    CBitmap bmp;
    if (!mem.CreateCompatibleDC(&src) || !bmp.CreateCompatibleBitmap(&src, rc.Width(), rc.Height())) return false;
    CBitmap* old = mem.SelectObject(&bmp);
    mem.BitBlt(0, 0, rc.Width(), rc.Height(), &src, 0, 0, SRCCOPY);
    mem.SelectObject(old);

    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
    bool ok = false;
    {
        CString folder = moduleFolder() + L"screenshots\\";
        ::CreateDirectoryW(folder, nullptr);
        CLSID png;
        Gdiplus::Bitmap image(static_cast<HBITMAP>(bmp.m_hObject), nullptr);
        ok = pngEncoder(&png) && image.Save(folder + name + L".png", &png, nullptr) == Gdiplus::Ok;
        // One line per picture, replaced on the next run rather than added again.
        if (ok) writeScreenshotIndex(folder, CString(name) + L".png", CString(shows));
    }
    Gdiplus::GdiplusShutdown(token);
    return ok;
}
