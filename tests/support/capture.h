#pragma once
// Screenshots of windows under test: what a window shows is copied from its
// device context (PrintWindow under Wine misses what a window paints itself)
// and saved as PNG through GDI+, with one line per picture in index.txt of
// the folder saying what the picture should show.
#include "afx/afx.h"

#include <vector>

class WindowShot {
public:
    // Repaints the window (and its children) and copies the whole window,
    // frame included, or only its client area.
    bool capture(HWND hwnd, bool clientOnly = false);

    int width() const { return m_width; }
    int height() const { return m_height; }
    // The colour at (x, y) of the copy, CLR_INVALID outside it.
    COLORREF at(int x, int y) const;
    // Number of pixels of exactly this colour inside the rectangle.
    int count(COLORREF colour, const RECT& area) const;
    int count(COLORREF colour) const;
    bool savePng(const CString& path) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<DWORD> m_pixels;  // 0x00RRGGBB, top row first
};

// Folder of the screenshots of this test executable:
// <build>\screenshots\<executable name>\ (created on first use).
CString screenshotFolder();

// Captures a window into <screenshot folder>\<name>.png and records in the
// folder's index.txt what it should show. Returns the copy for pixel checks.
WindowShot saveScreenshot(HWND hwnd, const CString& name, const CString& shows,
                          bool clientOnly = false);

// Adds or replaces the index line of a picture ("<name>.png: <shows>").
void writeScreenshotIndex(const CString& folder, const CString& file, const CString& shows);

// Lets the window's pending messages (paints included) run.
void pumpMessages(DWORD forMs = 50);
