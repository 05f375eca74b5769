#include "shell/shell_engine.h"

#include "descriptors/ver_file.h"
#include "engine/copy_manager.h"
#include "engine/download_manager.h"
#include "engine/engine_control.h"
#include "engine/function_manager.h"
#include "engine/unzip_manager.h"
#include "engine/worker_manager.h"

#include <atomic>

namespace {

// Long enough for a worker to finish the chunk it is writing.
constexpr DWORD ENGINE_JOIN_MS = 15000;

class ProgramEngine : public IShellEngine {
public:
    bool isDownloadActive() override { return download_manager::getInstance()->m_bActive.load(); }
    bool isUnzipActive() override { return unzip_manager::getInstance()->m_bEnabled.load(); }
    bool isCopyActive() override { return copy_manager::getInstance()->m_bActive.load(); }
    bool isIdle() override { return engine_control::isIdle(); }
    void stopAndJoin() override { m_joined = engine_control::shutdown(ENGINE_JOIN_MS); }
    bool lastJoinCompleted() override { return m_joined.load(); }
    void writeResumeVersionFiles() override {
        ver_file_list::getInstance().write(download_manager::getInstance()->m_strDownloadFolder, 2);
    }
    void postQuit() override { function_manager::getInstance()->postCommand(FM_CMD_QUIT, 0, nullptr); }
    void closeOwnHandles(const CString& folder) override { worker_manager::getInstance()->closeOwnHandles(folder); }

private:
    std::atomic<bool> m_joined{true};
};

std::atomic<IShellEngine*> g_engine{nullptr};

}  // namespace

IShellEngine& shellEngine() {
    static ProgramEngine program;
    IShellEngine* engine = g_engine.load();
    return engine ? *engine : program;
}

void setShellEngine(IShellEngine* engine) { g_engine.store(engine); }
