// The pictures on static controls, photographed.
#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/program_strings.h"
#include "foundation/regsetting.h"
#include "shell/scan/picture_static.h"
#include "tests/support/capture.h"
#include "tests/support/test_support.h"
#include "tests/webclient/standin_client.h"

#include "skin_table.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

COLORREF pictureColour(int id) {
    for (const SkinRow& row : kSkinTable)
        if (row.id == id) return row.mark[0].colour;  // the silhouette fills the picture's middle
    return CLR_INVALID;
}

// A 24-bit bitmap file of one colour; GDI+ reads it whatever its name.
std::string solidBmp(int width, int height, COLORREF colour) {
    const int stride = (width * 3 + 3) & ~3;
    const DWORD pixels = static_cast<DWORD>(stride * height);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + pixels;
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    std::string row(static_cast<size_t>(stride), '\0');
    for (int x = 0; x < width; ++x) {
        row[x * 3] = static_cast<char>(GetBValue(colour));
        row[x * 3 + 1] = static_cast<char>(GetGValue(colour));
        row[x * 3 + 2] = static_cast<char>(GetRValue(colour));
    }
    for (int y = 0; y < height; ++y) bytes += row;
    return bytes;
}

SIZE imageSize(HWND control) {
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP b{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(b), &b)) return SIZE{0, 0};
    return SIZE{b.bmWidth, b.bmHeight};
}

struct Row {
    const char* name;
    const wchar_t* corp;
    const wchar_t* vehicle;  // picture names; "" for none
    const wchar_t* gps;
    SIZE vehicleSize, gpsSize;
    int vehicleSkin, gpsSkin;  // 0: the cached picture, not a skin
};

}  // namespace

TEST(PictureWindow, CachedAndFallingBack) {
    REQUIRE_STANDIN();
    standin::clearFaults();
    CRegSetting::setRegion(REGION_KR);
    const CString cache = CGlobalFunc::getAppDataPath() + L"\\Kestrune\\";
    const COLORREF wideColour = RGB(0x33, 0x66, 0xCC);
    CGlobalFunc::createDirectory(cache + L"GPSImages");
    CGlobalFunc::createDirectory(cache + L"VehicleImages");
    writeBytes(cache + L"GPSImages\\wide_nav.png", solidBmp(400, 200, wideColour));
    writeBytes(cache + L"VehicleImages\\unreadable.png", "not a picture");
    writeBytes(cache + L"GPSImages\\unreadable.png", "not a picture");
    DeleteFileW((cache + L"VehicleImages\\ts_arden.png").GetString());

    const Row rows[] = {
        {"downloaded", L"TS", L"ts_arden.png", L"wide_nav.png", {152, 82}, {102, 52}, 0, 0},
        {"missing, no brand", L"N", L"missing.png", L"", {152, 82}, {102, 82}, 406, 490},
        {"unreadable, TS", L"TS", L"unreadable.png", L"unreadable.png", {300, 160}, {300, 160}, 529, 529},
    };
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 50, 50, 300, 300, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    std::vector<std::pair<HWND, HWND>> controls;
    for (size_t i = 0; i < std::size(rows); ++i) {
        const int y = 10 + static_cast<int>(i) * 95;
        const DWORD style = WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_CENTERIMAGE;
        HWND vehicle = CreateWindowExW(0, L"STATIC", L"", style, 10, y, 150, 80, window, nullptr, nullptr, nullptr);
        HWND gps = CreateWindowExW(0, L"STATIC", L"", style, 180, y, 100, 80, window, nullptr, nullptr, nullptr);
        controls.emplace_back(vehicle, gps);

        g_strCorpCode = rows[i].corp;
        InfInfo entry;
        entry.setVehicleImageName(rows[i].vehicle);
        entry.setVehicleImageUrl(standin::url(L"/contents/img/vehicle"));
        entry.setGpsImageName(rows[i].gps);
        entry.setGpsImageUrl(standin::url(L"/contents/img/gps"));
        setVehicleImage(vehicle, &entry);
        setGpsImage(gps, &entry);
        SCOPED_TRACE(rows[i].name);
        EXPECT_EQ(imageSize(vehicle).cx, rows[i].vehicleSize.cx);
        EXPECT_EQ(imageSize(vehicle).cy, rows[i].vehicleSize.cy);
        EXPECT_EQ(imageSize(gps).cx, rows[i].gpsSize.cx);
        EXPECT_EQ(imageSize(gps).cy, rows[i].gpsSize.cy);
    }
    g_strCorpCode = L"N";
    setGpsImage(controls[0].second, nullptr);  // no entry: left as it is
    EXPECT_EQ(imageSize(controls[0].second).cx, 102);

    WindowShot shot = saveScreenshot(window, L"pictures",
                                     L"three rows of a vehicle picture (left) and a navigation-unit picture (right): "
                                     L"downloaded and a blue 400x200 one drawn 102x52; the placeholders 406 and 490 of no brand; "
                                     L"the TS brand picture for unreadable files",
                                     true);
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].name);
        const int y = 10 + static_cast<int>(i) * 95 + 40;
        if (rows[i].vehicleSkin) EXPECT_EQ(shot.at(85, y), pictureColour(rows[i].vehicleSkin));
        else EXPECT_NE(shot.at(85, y), pictureColour(529));
        if (rows[i].gpsSkin) EXPECT_EQ(shot.at(230, y), pictureColour(rows[i].gpsSkin));
        else EXPECT_EQ(shot.at(230, y), wideColour);
    }
    for (auto& c : controls) {
        releaseStaticImage(c.first);
        releaseStaticImage(c.second);
        EXPECT_EQ(imageSize(c.first).cx, 0);
    }
    DestroyWindow(window);
}
