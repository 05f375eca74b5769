#pragma once
// Static helpers that every subsystem calls: window placement, special
// folders, folder trees, text conversion, display formatting, the
// operating-system version and the names the log and the web service see.
#include "afx/string.h"

#include <functional>

class CGlobalFunc {
public:
    // ---- application start-up
    // Creates a folder path one "\"-separated level at a time; stops at the
    // first empty part. Always TRUE.
    static BOOL createDirectoryPath(const CString& path);
    // Brings a window of this or another process to the front.
    static void forceForegroundWindow(HWND window);
    // Folder of the running executable, without a trailing "\".
    static CString getModuleDirectory();

    // ---- windows and drawing
    // Moves and sizes a child. Mirror kind 1 always, kind 2 under the Arabic
    // interface, keeps the child's distance from the parent's right edge.
    // FALSE with a null child.
    static BOOL moveChildWindow(HWND parent, HWND child, int x, int y, int width, int height, int mirrorKind);
    // Repaints the parent below the child without erasing its background.
    static void invalidateChild(HWND parent, HWND child);
    // The white rounded box of the pages, x 110 to 790.
    static void drawRoundBox(HDC dc, int top, int bottom);

    // ---- browser and shell
    // Opens an http(s) address in the default browser or an existing folder
    // in the shell; any other text is refused and logged.
    static void openUrl(const CString& url);
    using UrlLauncher = std::function<void(const CString& target)>;
    // Replaces the shell call at the end of openUrl (tests must not start a
    // browser); an empty launcher restores the shell. Returns the previous one.
    static UrlLauncher setUrlLauncher(UrlLauncher launcher);

    // ---- special folders (empty when the platform gives none)
    static CString getDocumentsPath();
    static CString getAppDataPath();
    static CString getFontsPath();
    static CString getDownloadsPath();

    // ---- files and folders
    // Creates every missing level of a folder path ("\" or "/"); TRUE when
    // every level is a folder at the end.
    static BOOL createDirectory(const CString& path);
    // Deletes a folder tree; links inside it are removed, never followed.
    // Goes on past what cannot be deleted, and then returns FALSE. FALSE
    // without touching anything for a missing folder, an empty path, a drive
    // root, a share without a folder below it and the "\\?\" and "\\.\" forms.
    static BOOL deleteDirectory(const CString& path);
    // Clears the read-only attribute and deletes the file. TRUE when no file
    // is left there.
    static BOOL deleteFile(const CString& path);
    // Whether a search finds the path. With packageFlag, a path naming
    // "MAP.exe", "HTML.exe", "IMAGE.exe" or "SPOT.exe" counts as present unseen.
    static BOOL isFileExist(const CString& path, BOOL packageFlag);

    // ---- text and numbers
    // UTF-8 copy from the C runtime heap (release with free()); null for null.
    static char* wideToUtf8(const wchar_t* text);
    // Whole number with "," groups: 1234567.0 gives "1,234,567".
    static CString formatNumber(double number);
    // Kilobytes as "12 KB", "1.5 MB", "2.0 GB" ...; the unit stops growing at
    // stopUnit ("M", "G", "T" or empty).
    static CString formatSize(UINT kilobytes, const CString& stopUnit);
    // Local time "hh:mm:ss.mmm".
    static CString getTimeStamp();

    // ---- operating system
    static BOOL isVistaOrGreater();
    // FALSE when a number could not be found; major and minor are set
    // whenever the version could be read.
    static BOOL getOsVersion(int& major, int& minor, int& servicePackMajor);
    // Where getOsVersion reads the version; null restores the system's
    // workstation service. Returns the reader in place before.
    using OsVersionReader = BOOL (*)(int& major, int& minor, int& servicePackMajor);
    static OsVersionReader setOsVersionReader(OsVersionReader reader);

    // ---- names for the log and the web service
    static CString getErrorName(unsigned int messageType);
    static CString getViewStateName(int viewState);
    // Abbreviation of the computer's time zone for the download-check report.
    static void GetTimezone(CString& result);
    // The abbreviation for a zone key name: the zone table's, or one formed
    // from the name's capitals. fromTable tells which.
    static CString abbreviateTimezone(const CString& zoneName, BOOL* fromTable = nullptr);
};
