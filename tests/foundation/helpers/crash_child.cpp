// Installs the crash-dump handler, logs into the folder given as the first
// argument, then dereferences a null pointer. The text meant for the user's
// message box is written to "notice.txt" in that folder instead.
#include "foundation/logmanager.h"
#include "foundation/minidumper.h"

#include <cstdlib>

namespace {

CString g_folder;

void writeNotice(const CString& text) {
    CFile f;
    if (f.Open((g_folder + L"notice.txt").GetString(), CFile::modeCreate | CFile::modeWrite)) {
        CStringA utf8 = WideToMultiByte(text.GetString(), CP_UTF8);
        f.Write(utf8.GetString(), static_cast<UINT>(utf8.GetLength()));
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    g_folder = CString(argv[1]) + L"\\";
    g_logManager.init(g_folder, L"Kestrune_WIN.log", 0, 0, LogManager::OUTPUT_FILE);
    MiniDumper::setNotifier(&writeNotice);
    {
        MiniDumper dumper;  // the filter outlives the object
    }
    volatile int* nothing = nullptr;
    *nothing = 1;
    return 0;
}
