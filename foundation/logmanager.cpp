#include "foundation/logmanager.h"

#include "foundation/logmanager_state.h"
#include "foundation/logwriter.h"

#include <new>

LogManager g_logManager;

LogManager::LogManager() : m_state(new (std::nothrow) State) {}

LogManager::~LogManager() {
    if (!m_state) return;
    auto registrations = m_state->registrations;
    for (const auto& r : registrations) removeWriter(r.first, r.second);
}

void LogManager::init(const CString& folder, const CString& fileName, ULONGLONG byteLimit, int retainDays,
                      int outputFlags) {
    if (!m_state) return;
    m_state->folder = folder;
    m_state->fileName = fileName;
    m_state->byteLimit = byteLimit;
    m_state->retainDays = retainDays;
    m_state->outputFlags = outputFlags;
    if (!fileName.IsEmpty()) addWriter(fileName, this);
}

CString LogManager::folder() const {
    return m_state ? m_state->folder : CString();
}

CString LogManager::fileName() const {
    return m_state ? m_state->fileName : CString();
}

int LogManager::retainDays() const {
    return m_state ? m_state->retainDays : 0;
}

ULONGLONG LogManager::byteLimit() const {
    return m_state ? m_state->byteLimit : 0;
}

void LogManager::addWriter(const CString& fileName, const void* owner) {
    if (!m_state) return;
    auto& slot = m_state->byName[fileName];
    if (!slot) slot.reset(new LogWriter(m_state->folder + fileName));
    m_state->byOwner.emplace(owner, slot.get());  // an owner keeps its first writer
    m_state->registrations.emplace_back(fileName, owner);
}

void LogManager::removeWriter(const CString&, const void* owner) {
    if (!m_state) return;
    auto it = m_state->byOwner.find(owner);
    if (it == m_state->byOwner.end()) return;
    LogWriter* writer = it->second;
    m_state->byOwner.erase(it);
    for (const auto& o : m_state->byOwner) {
        if (o.second == writer) return;
    }
    if (m_state->current.load() == writer) m_state->current.store(nullptr);
    for (auto n = m_state->byName.begin(); n != m_state->byName.end(); ++n) {
        if (n->second.get() == writer) {
            m_state->byName.erase(n);
            break;
        }
    }
}

LogWriter* LogManager::currentWriter() {
    LogWriter* w = m_state->current.load();
    if (!w) {
        auto it = m_state->byOwner.find(this);
        if (it != m_state->byOwner.end()) {
            w = it->second;
            m_state->current.store(w);
        }
    }
    return w;
}

bool LogManager::format(const wchar_t* fmt, va_list args, CString& out) const {
    if (!fmt) return false;
    va_list copy;
    va_copy(copy, args);
    int needed = _vscwprintf(fmt, copy);
    va_end(copy);
    if (needed < 0) return false;
    int keep = needed < kMaxMessageChars ? needed : kMaxMessageChars;
    // The text lives on the heap, not on the caller's stack.
    wchar_t* buf = out.GetBufferSetLength(keep + 1);
    _vsnwprintf(buf, static_cast<size_t>(keep), fmt, args);
    buf[keep] = L'\0';
    out.ReleaseBuffer(keep);
    return true;
}

void LogManager::log(const char* function, int line, const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    logV(function, line, fmt, args);
    va_end(args);
}

void LogManager::logV(const char* function, int line, const wchar_t* fmt, va_list args) {
    if (!m_state) return;
    try {
        LogWriter* writer = currentWriter();
        CString text;
        if (!format(fmt, args, text)) return;
        text += L'\n';
        if ((m_state->outputFlags & OUTPUT_FILE) && writer) {
            writer->write(text, CString(function ? function : ""), line);
        }
        if (m_state->outputFlags & OUTPUT_DEBUGGER) OutputDebugStringW(text.GetString());
    } catch (...) {
        // Logging never fails its caller.
    }
}

void LogManager::logNoLocation(const wchar_t* fmt, ...) {
    if (!m_state) return;
    va_list args;
    va_start(args, fmt);
    try {
        LogWriter* writer = currentWriter();
        CString text;
        if (format(fmt, args, text)) {
            text += L'\n';
            if ((m_state->outputFlags & OUTPUT_FILE) && writer) writer->writeNoLocation(text);
            if (m_state->outputFlags & OUTPUT_DEBUGGER) OutputDebugStringW(text.GetString());
        }
    } catch (...) {
    }
    va_end(args);
}

bool LogManager::getFileVersion(CString& version) {
    version = L"0.0.0";
    wchar_t path[520] = {};
    GetModuleFileNameW(nullptr, path, 520);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) return false;
    UniqueGlobal mem(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!mem) return false;
    void* block = GlobalLock(mem.get());
    bool ok = false;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (block && GetFileVersionInfoW(path, 0, size, block) &&
        VerQueryValueW(block, L"\\", reinterpret_cast<void**>(&info), &len) && info && len >= sizeof(*info)) {
        version.Format(L"%d.%d.%d", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                       HIWORD(info->dwFileVersionLS));
        ok = true;
    }
    if (block) GlobalUnlock(mem.get());
    return ok;
}

CString logFolderForInstallPath(const CString& installPath) {
    CString base = installPath;
    base.Trim();
    const bool absolute = (base.GetLength() >= 3 && iswalpha(base[0]) && base[1] == L':' &&
                           (base[2] == L'\\' || base[2] == L'/')) ||
                          (base.GetLength() >= 3 && base[0] == L'\\' && base[1] == L'\\');
    if (!absolute) {
        // Never "\log\" of whatever drive is current.
        wchar_t module[MAX_PATH] = {};
        const DWORD n = GetModuleFileNameW(nullptr, module, MAX_PATH);
        base = n > 0 && n < MAX_PATH ? CString(module) : CString();
        base = base.Left(base.ReverseFind(L'\\'));
    }
    CString joined = base + L"\\log\\";
    // Keep a leading "\\" (a network path); collapse every other run.
    CString out = joined.Left(2);
    for (int i = 2; i < joined.GetLength(); ++i) {
        if (joined[i] == L'\\' && out[out.GetLength() - 1] == L'\\') continue;
        out += joined[i];
    }
    return out;
}
