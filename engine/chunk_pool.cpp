#include "engine/chunk_pool.h"

#include <mutex>
#include <utility>
#include <vector>

namespace {

struct pooled {
    std::unique_ptr<BYTE[]> data;
    size_t size = 0;
};

// A few are enough: one copy and one unzip thread use them at a time, plus
// the checks of the pre-check.
constexpr size_t kKeptBuffers = 4;

std::mutex g_poolLock;
std::vector<pooled>& pool() {
    static std::vector<pooled> buffers;
    return buffers;
}

}  // namespace

chunk_lease::chunk_lease(size_t bytes) {
    {
        std::lock_guard<std::mutex> lock(g_poolLock);
        std::vector<pooled>& buffers = pool();
        for (size_t i = 0; i < buffers.size(); ++i) {
            if (buffers[i].size >= bytes) {
                m_data = std::move(buffers[i].data);
                m_size = buffers[i].size;
                buffers.erase(buffers.begin() + static_cast<std::ptrdiff_t>(i));
                return;
            }
        }
    }
    m_data.reset(new BYTE[bytes]);
    m_size = bytes;
}

chunk_lease::~chunk_lease() {
    if (!m_data) return;
    std::lock_guard<std::mutex> lock(g_poolLock);
    std::vector<pooled>& buffers = pool();
    if (buffers.size() < kKeptBuffers) buffers.push_back({std::move(m_data), m_size});
}
