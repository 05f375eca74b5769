#include "webclient/url_download.h"

#include "foundation/logmanager.h"

#include <urlmon.h>

#include <atomic>

// Reference counted: the moniker may keep it past the call that started it.
class CUrlDownload::Callback : public IBindStatusCallback {
public:
    explicit Callback(HANDLE stop) : m_stop(stop) {}

    bool stopped() const { return m_stop && WaitForSingleObject(m_stop, 0) == WAIT_OBJECT_0; }

    void abort() {
        IBinding* binding = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            binding = m_binding;
            if (binding) binding->AddRef();
        }
        if (!binding) return;
        binding->Abort();
        binding->Release();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IBindStatusCallback) {
            *out = static_cast<IBindStatusCallback*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --m_refs;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding* binding) override {
        if (stopped()) return E_ABORT;
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_binding) m_binding->Release();
        m_binding = binding;
        if (m_binding) m_binding->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPriority(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnProgress(ULONG, ULONG, ULONG, LPCWSTR) override {
        return stopped() ? E_ABORT : S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT, LPCWSTR) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_binding) m_binding->Release();
        m_binding = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD*, BINDINFO*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

private:
    ~Callback() {
        if (m_binding) m_binding->Release();
    }

    HANDLE m_stop;
    std::atomic<ULONG> m_refs{1};
    std::mutex m_mutex;
    IBinding* m_binding = nullptr;
};

HRESULT CUrlDownload::run(const CString& url, const CString& target, HANDLE stop) {
    auto* callback = new Callback(stop);
    if (callback->stopped()) {
        callback->Release();
        return E_ABORT;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        callback->AddRef();
        m_running = callback;
    }
    HRESULT result = URLDownloadToFileW(nullptr, url.GetString(), target.GetString(), 0, callback);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_running = nullptr;
        callback->Release();
    }
    // A stop that came while the moniker finished still counts as one.
    if (callback->stopped() && SUCCEEDED(result)) result = E_ABORT;
    if (result == E_ABORT) LOG_WRITE(L"[CUrlDownload::run][stopped][%s]", url.GetString());
    callback->Release();
    return result;
}

void CUrlDownload::abort() {
    Callback* callback = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        callback = m_running;
        if (callback) callback->AddRef();
    }
    if (!callback) return;
    callback->abort();
    callback->Release();
}
