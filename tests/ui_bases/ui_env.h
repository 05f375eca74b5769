#pragma once
// What the window tests of the bases share: GDI+ and the skins of this
// executable, the UI language, a main window that records what the bases
// post to it, a message pump that pre-translates as the program's loop
// does, and real keyboard and mouse input.
#include "afx/afx.h"

#include <functional>
#include <vector>

// Region and UI language of one screenshot pass.
struct UiLanguage {
    const wchar_t* tag;  // "ko", "en", "ar"
    int region;
    int language;
};
extern const UiLanguage kLanguages[3];
// Stores region and language, selects the string tables and the face.
void useLanguage(const UiLanguage& language);
void useLanguage(int region, int language);

// The application's main window during a test: counts the exit requests.
class RecordingFrame : public CWnd {
public:
    BOOL create();
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    int sendStatics = 0;
    int sendStaticsHidden = 0;
};
RecordingFrame& mainFrame();

// Runs the thread's messages through the bases' key filters, as the
// program's loop does, for about forMs milliseconds.
void pumpFor(DWORD forMs = 60);
// Waits (pumping) until done() or the time is up; the last done().
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 2000);

// Real input. The window is brought to the front and focused first.
void focusWindow(HWND window);
void pressKeys(const std::vector<WORD>& keys);  // pressed in order, released in reverse
void clickAt(HWND window, int clientX, int clientY);

// Live GDI handles of the process (0 when the platform does not count) and
// the committed memory.
DWORD gdiObjects();
SIZE_T pagefileUsage();

// A child window's rectangle in its parent's client coordinates.
RECT childRectIn(HWND parent, HWND child);

// Fill colour of a skin's frame, from the generated skin table.
COLORREF skinFill(int id, int frame = 0);
struct SkinRow;
// The generated row of a skin image, with its published sample points.
const SkinRow& skinRow(int id);
