#pragma once
// One owner type per kind of Win32 handle: each closes its handle exactly
// once, in its destructor or on reset().
#include <windows.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type h) : m_h(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : m_h(o.release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Type get() const { return m_h; }
    bool valid() const { return m_h != Traits::invalid(); }
    explicit operator bool() const { return valid(); }
    Type release() { return std::exchange(m_h, Traits::invalid()); }
    void reset(Type h = Traits::invalid()) {
        Type old = std::exchange(m_h, h);
        if (old != Traits::invalid()) Traits::close(old);
    }
    // For out-parameters: closes the present handle first.
    Type* put() { reset(); return &m_h; }

private:
    Type m_h = Traits::invalid();
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type invalid() { return nullptr; }
    static void close(Type h) { CloseHandle(h); }
};
struct FileHandleTraits {
    using Type = HANDLE;
    static Type invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Type h) { CloseHandle(h); }
};
struct FindHandleTraits {
    using Type = HANDLE;
    static Type invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Type h) { FindClose(h); }
};
struct RegKeyTraits {
    using Type = HKEY;
    static Type invalid() { return nullptr; }
    static void close(Type h) { RegCloseKey(h); }
};
struct ModuleTraits {
    using Type = HMODULE;
    static Type invalid() { return nullptr; }
    static void close(Type h) { FreeLibrary(h); }
};
struct GlobalMemTraits {
    using Type = HGLOBAL;
    static Type invalid() { return nullptr; }
    static void close(Type h) { GlobalFree(h); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueGlobal = UniqueHandle<GlobalMemTraits>;
