#pragma once
// Shared pieces of the engine tests: descriptors of the stand-in turned into
// update items, bodies fetched from it, a fake page that records what the
// engine tells it, and a waiting helper.
#include "descriptors/inf_file_update.h"
#include "descriptors/inf_info.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Failure messages show the text, as UTF-8.
void PrintTo(const CString& text, std::ostream* os);

// A descriptor of the stand-in with its update items (not in the
// process-wide list).
struct Descriptor {
    Descriptor() = default;
    Descriptor(Descriptor&&) = default;
    Descriptor& operator=(Descriptor&&) = default;
    // Drops the engine's task records of the items: a later test's item may
    // be allocated at the same address and would find them.
    ~Descriptor();

    std::unique_ptr<InfInfo> info;
    std::vector<std::unique_ptr<InfFileUpdate>> items;
    // The item whose AG_FILENAME or AG_ZIPNAME is name; null when none.
    InfFileUpdate* item(const CString& name) const;
};

// Fetches the descriptor, lets edit change its text, and builds the items
// with an empty folder. False when the stand-in did not answer.
bool loadDescriptor(const CString& inf, Descriptor& out,
                    const std::function<void(std::string&)>& edit = nullptr);
// Replaces the value of key in the section whose line "AG_ZIPNAME=zipName"
// it holds.
void setEntryValue(std::string& text, const std::string& zipName, const std::string& key, const std::string& value);
// The whole body at the stand-in's path ("/contents/...").
std::string fetch(const CString& path);
// The stand-in path of a URL ("https://host/contents/x" -> "/contents/x").
CString pathOfUrl(const CString& url);

// Polls until done() or the time is up, pumping this thread's messages.
bool waitUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000);

// A message-only window on a thread of its own that records every message
// from WM_USER up. Workers send to it and wait, as to a page.
class FakePage {
public:
    struct Record {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    FakePage();
    ~FakePage();
    FakePage(const FakePage&) = delete;
    FakePage& operator=(const FakePage&) = delete;

    HWND hwnd() const { return m_hwnd; }
    std::vector<Record> records();
    int count(UINT message, WPARAM wParam, LPARAM lParam);
    int count(UINT message);
    void clear();
    // Waits for the posted messages sent before this call to arrive.
    void sync();

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void run();

    std::thread m_thread;
    HWND m_hwnd = nullptr;
    HANDLE m_ready = nullptr;
    std::mutex m_lock;
    std::vector<Record> m_records;
};
