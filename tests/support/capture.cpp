#include "tests/support/capture.h"

#include "tests/support/test_support.h"

#include <gdiplus.h>

#include <algorithm>
#include <map>
#include <string>

namespace {

CString exeFolderAndName(CString* name) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString full(path);
    int slash = full.ReverseFind(L'\\');
    CString base = full.Mid(slash + 1);
    int dot = base.ReverseFind(L'.');
    if (name) *name = dot > 0 ? base.Left(dot) : base;
    return full.Left(slash + 1);
}

bool pngEncoder(CLSID* clsid) {
    UINT count = 0, bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
    std::vector<BYTE> buffer(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

// GDI+ for the length of one save; start-ups nest, so a program under test
// that runs GDI+ itself is not disturbed.
class GdiplusScope {
public:
    GdiplusScope() {
        Gdiplus::GdiplusStartupInput input;
        m_ok = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusScope() {
        if (m_ok) Gdiplus::GdiplusShutdown(m_token);
    }
    bool ok() const { return m_ok; }

private:
    ULONG_PTR m_token = 0;
    bool m_ok = false;
};

}  // namespace

void pumpMessages(DWORD forMs) {
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < forMs);
}

bool WindowShot::capture(HWND hwnd, bool clientOnly) {
    m_width = m_height = 0;
    m_pixels.clear();
    if (!IsWindow(hwnd)) return false;
    RedrawWindow(hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pumpMessages(30);

    RECT r{};
    if (clientOnly) GetClientRect(hwnd, &r); else GetWindowRect(hwnd, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;
    HDC src = clientOnly ? GetDC(hwnd) : GetWindowDC(hwnd);
    if (!src) return false;
    HDC mem = CreateCompatibleDC(src);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(src, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (mem && bmp) {
        HGDIOBJ old = SelectObject(mem, bmp);
        ok = BitBlt(mem, 0, 0, w, h, src, 0, 0, SRCCOPY) != FALSE;
        GdiFlush();
        if (ok) {
            const DWORD* p = static_cast<const DWORD*>(bits);
            m_pixels.assign(p, p + static_cast<size_t>(w) * h);
            for (DWORD& px : m_pixels) px &= 0x00FFFFFF;
            m_width = w;
            m_height = h;
        }
        SelectObject(mem, old);
    }
    if (bmp) DeleteObject(bmp);
    if (mem) DeleteDC(mem);
    ReleaseDC(hwnd, src);
    return ok;
}

COLORREF WindowShot::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return CLR_INVALID;
    DWORD px = m_pixels[static_cast<size_t>(y) * m_width + x];
    return RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF);
}

int WindowShot::count(COLORREF colour, const RECT& area) const {
    int n = 0;
    for (int y = std::max(0L, area.top); y < std::min<long>(m_height, area.bottom); ++y)
        for (int x = std::max(0L, area.left); x < std::min<long>(m_width, area.right); ++x)
            if (at(x, y) == colour) ++n;
    return n;
}

int WindowShot::count(COLORREF colour) const {
    return count(colour, RECT{0, 0, m_width, m_height});
}

bool WindowShot::savePng(const CString& path) const {
    if (m_pixels.empty()) return false;
    GdiplusScope gdiplus;
    CLSID png;
    if (!gdiplus.ok() || !pngEncoder(&png)) return false;
    Gdiplus::Bitmap bitmap(m_width, m_height, m_width * 4, PixelFormat32bppRGB,
                           reinterpret_cast<BYTE*>(const_cast<DWORD*>(m_pixels.data())));
    return bitmap.Save(path.GetString(), &png, nullptr) == Gdiplus::Ok;
}

CString screenshotFolder() {
    CString name;
    CString folder = exeFolderAndName(&name);
    // Test executables live in <build>\tests\<folder>\; pictures go to
    // <build>\screenshots\<executable>\ so a reviewer finds them in one place.
    CString root = folder;
    for (int up = 0; up < 3; ++up) {
        int slash = root.Left(root.GetLength() - 1).ReverseFind(L'\\');
        if (slash < 0) break;
        CString parent = root.Left(slash + 1);
        if (GetFileAttributesW((parent + L"CMakeCache.txt").GetString()) != INVALID_FILE_ATTRIBUTES) {
            root = parent;
            break;
        }
        root = parent;
    }
    if (GetFileAttributesW((root + L"CMakeCache.txt").GetString()) == INVALID_FILE_ATTRIBUTES) root = folder;
    CString out = root + L"screenshots\\";
    CreateDirectoryW(out.GetString(), nullptr);
    out += name + L"\\";
    CreateDirectoryW(out.GetString(), nullptr);
    return out;
}

void writeScreenshotIndex(const CString& folder, const CString& file, const CString& shows) {
    CString indexPath = folder + L"index.txt";
    std::map<std::wstring, std::wstring> lines;
    CString text = MultiByteToWide(readBytes(indexPath).c_str(), CP_UTF8);
    int pos = 0;
    while (pos < text.GetLength()) {
        int end = text.Find(L'\n', pos);
        if (end < 0) end = text.GetLength();
        CString line = text.Mid(pos, end - pos);
        line.TrimRight(L"\r");
        int colon = line.Find(L": ");
        if (colon > 0) lines[line.Left(colon).GetString()] = line.Mid(colon + 2).GetString();
        pos = end + 1;
    }
    lines[file.GetString()] = shows.GetString();
    CString out;
    for (const auto& [name, what] : lines) out += CString(name.c_str()) + L": " + what.c_str() + L"\n";
    CStringA utf8 = WideToMultiByte(out.GetString(), CP_UTF8);
    writeBytes(indexPath, std::string(utf8.GetString(), utf8.GetLength()));
}

WindowShot saveScreenshot(HWND hwnd, const CString& name, const CString& shows, bool clientOnly) {
    WindowShot shot;
    if (!shot.capture(hwnd, clientOnly)) return shot;
    CString folder = screenshotFolder();
    CString file = name + L".png";
    if (shot.savePng(folder + file)) writeScreenshotIndex(folder, file, shows);
    return shot;
}
