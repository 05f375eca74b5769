#include "tests/engine/engine_fixtures.h"

#include "engine/function_manager.h"
#include "foundation/message_pump.h"
#include "tests/webclient/standin_client.h"
#include "webclient/download_worker.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

constexpr UINT kSyncMessage = 0xBFFF;

}  // namespace

void PrintTo(const CString& text, std::ostream* os) {
    *os << '"' << WideToMultiByte(text.GetString(), CP_UTF8).GetString() << '"';
}

Descriptor::~Descriptor() {
    function_manager* engine = function_manager::getInstance();
    std::lock_guard<std::recursive_mutex> tasks(engine->m_taskMutex);
    for (const auto& item : items) engine->removeItemRecords(item.get());
}

InfFileUpdate* Descriptor::item(const CString& name) const {
    for (const auto& item : items) {
        if (item->getFileName().CompareNoCase(name) == 0 || item->getZipName().CompareNoCase(name) == 0) {
            return item.get();
        }
    }
    return nullptr;
}

std::string fetch(const CString& path) {
    download_worker worker(standin::url(path));
    std::string body;
    bool ok = worker.remote_file_download_tls(0, nullptr, [&](const BYTE* data, UINT32 count) {
        if (data && count) body.append(reinterpret_cast<const char*>(data), count);
        return 1;
    });
    return ok ? body : std::string();
}

CString pathOfUrl(const CString& url) {
    int scheme = url.Find(L"://");
    int slash = url.Find(L'/', scheme < 0 ? 0 : scheme + 3);
    return slash < 0 ? CString() : url.Mid(slash);
}

void setEntryValue(std::string& text, const std::string& zipName, const std::string& key, const std::string& value) {
    size_t entry = text.find("AG_ZIPNAME=" + zipName + "\r\n");
    if (entry == std::string::npos) return;
    size_t start = text.rfind('[', entry);
    size_t end = text.find('[', entry);
    if (end == std::string::npos) end = text.size();
    size_t at = text.find(key + "=", start);
    if (at == std::string::npos || at > end) at = text.find(key + " = ", start);
    if (at == std::string::npos || at > end) return;
    size_t lineEnd = text.find("\r\n", at);
    text.replace(at, lineEnd - at, key + "=" + value);
}

bool loadDescriptor(const CString& inf, Descriptor& out, const std::function<void(std::string&)>& edit) {
    std::string text = fetch(L"/contents/inf/" + inf);
    if (text.empty()) return false;
    if (edit) edit(text);
    out.info = std::make_unique<InfInfo>();
    out.info->setInfFileName(inf);
    out.info->setInfUrl(standin::url(L"/contents/inf"));
    if (!out.info->readInfText(CString(text.c_str()))) return false;
    InfFileTailMap* tails = out.info->getInfFileTails();
    if (!tails) return false;
    tails->forEach([&](int, InfFileTail* tail) {
        auto item = std::make_unique<InfFileUpdate>();
        if (item->init(tail, CString())) out.items.push_back(std::move(item));
        return true;
    });
    return !out.items.empty();
}

bool waitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG start = GetTickCount64();
    while (!done()) {
        if (GetTickCount64() - start > timeoutMs) return false;
        waitPumpingMessages(10);
    }
    return true;
}

FakePage::FakePage() {
    m_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = std::thread([this] { run(); });
    WaitForSingleObject(m_ready, INFINITE);
}

FakePage::~FakePage() {
    if (m_hwnd) PostMessageW(m_hwnd, WM_CLOSE, 0, 0);
    m_thread.join();
    CloseHandle(m_ready);
}

void FakePage::run() {
    WNDCLASSW cls{};
    cls.lpfnWndProc = &FakePage::proc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"KestruneFakePage";
    RegisterClassW(&cls);
    m_hwnd = CreateWindowExW(0, cls.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, cls.hInstance, nullptr);
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetEvent(m_ready);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
}

LRESULT CALLBACK FakePage::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FakePage*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_CLOSE) {
        DestroyWindow(hwnd);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    if (self && message == kSyncMessage) {
        SetEvent(reinterpret_cast<HANDLE>(lParam));
        return 0;
    }
    if (self && (message >= WM_USER || message == WM_TIMER)) {
        std::lock_guard<std::mutex> lock(self->m_lock);
        self->m_records.push_back({message, wParam, lParam});
        return 1;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

std::vector<FakePage::Record> FakePage::records() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_records;
}

int FakePage::count(UINT message, WPARAM wParam, LPARAM lParam) {
    int n = 0;
    for (const Record& r : records()) {
        if (r.message == message && r.wParam == wParam && r.lParam == lParam) ++n;
    }
    return n;
}

int FakePage::count(UINT message) {
    int n = 0;
    for (const Record& r : records()) {
        if (r.message == message) ++n;
    }
    return n;
}

void FakePage::clear() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_records.clear();
}

void FakePage::sync() {
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    PostMessageW(m_hwnd, kSyncMessage, 0, reinterpret_cast<LPARAM>(done));
    // The page's thread answers once it handled what was posted before: a
    // late answer under load is waited for, never taken as one.
    const DWORD waited = WaitForSingleObject(done, 120000);
    EXPECT_EQ(waited, static_cast<DWORD>(WAIT_OBJECT_0)) << "the page's thread did not answer";
    // Unanswered, the event stays open: the late answer must not set
    // whatever later takes the handle's value.
    if (waited == WAIT_OBJECT_0) CloseHandle(done);
}
