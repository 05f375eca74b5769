// InternetConnect on a thread of its own. A thread that outlives its
// attempt is abandoned, not terminated: killing a thread inside WinINet can
// leave the library's locks held for the rest of the process. The abandoned
// thread finishes on a context that it shares with nobody any more and
// closes whatever connection it still obtains.
#include "webclient/internet_worker.h"
#include "foundation/message_pump.h"

#include <memory>
#include <mutex>

namespace {

struct ConnectContext {
    HINTERNET internet = nullptr;
    wchar_t host[256] = {};
    INTERNET_PORT port = 0;

    std::mutex lock;
    bool abandoned = false;
    HINTERNET connection = nullptr;
};

DWORD WINAPI connectThread(LPVOID param) {
    std::unique_ptr<std::shared_ptr<ConnectContext>> holder(static_cast<std::shared_ptr<ConnectContext>*>(param));
    ConnectContext& ctx = **holder;
    HINTERNET connection = InternetConnectW(ctx.internet, ctx.host, ctx.port, L"", L"", INTERNET_SERVICE_HTTP, 0, 0);
    std::lock_guard<std::mutex> guard(ctx.lock);
    if (ctx.abandoned) {
        if (connection) InternetCloseHandle(connection);
        return 0;
    }
    ctx.connection = connection;
    return connection ? 1 : 0;
}

// Takes the connection away from a thread that is being left behind.
void abandon(ConnectContext& ctx) {
    std::lock_guard<std::mutex> guard(ctx.lock);
    ctx.abandoned = true;
    if (ctx.connection) {
        InternetCloseHandle(ctx.connection);
        ctx.connection = nullptr;
    }
}

}  // namespace

HINTERNET _InternetConnect(HINTERNET internet, const CString& host, INTERNET_PORT port, DWORD timeoutMs,
                           int attempts, run_state* run) {
    const DWORD slice = timeoutMs / 10;
    auto running = [run]() { return !run || run->check(); };

    for (int attempt = 0; attempt < attempts && running(); ++attempt) {
        auto ctx = std::make_shared<ConnectContext>();
        ctx->internet = internet;
        lstrcpynW(ctx->host, host.GetString(), ARRAYSIZE(ctx->host));
        ctx->port = port;

        auto* param = new std::shared_ptr<ConnectContext>(ctx);
        UniqueKernelHandle thread(CreateThread(nullptr, 0, connectThread, param, 0, nullptr));
        if (!thread) {
            delete param;
            continue;
        }

        bool finished = false;
        for (int i = 0; i < 10; ++i) {
            if (!running()) {
                abandon(*ctx);
                return nullptr;
            }
            if (WaitForSingleObject(thread.get(), slice) == WAIT_OBJECT_0) {
                finished = true;
                break;
            }
        }
        if (finished) {
            DWORD exitCode = 0;
            GetExitCodeThread(thread.get(), &exitCode);
            std::lock_guard<std::mutex> guard(ctx->lock);
            if (exitCode == 1 && ctx->connection) return std::exchange(ctx->connection, nullptr);
            continue;
        }
        abandon(*ctx);
        if (!running()) return nullptr;
        waitPumpingMessages(100);
    }
    return nullptr;
}
