// Descriptors and packages fetched from this executable's stand-in instance
// (config.json beside it names the host; KESTRUNE_STANDIN_WIN its folder).
#include "descriptors/update_list_builder.h"
#include "foundation/config_file.h"
#include "tests/descriptors/descriptor_fixtures.h"
#include "tests/support/test_support.h"
#include "webclient/download_worker.h"
#include "ziparchive/ziparchive.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

CString instanceFolder() {
    wchar_t buffer[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableW(L"KESTRUNE_STANDIN_WIN", buffer, MAX_PATH);
    return n == 0 || n >= MAX_PATH ? CString() : CString(buffer) + L"\\";
}

CString contentHost() {
    static const bool loaded =
        !instanceFolder().IsEmpty() && CConfigFile::getInstance()->loadFile(moduleFolder() + L"config.json");
    return loaded ? CConfigFile::getInstance()->getValue(L"API_HOST") : CString();
}

#define REQUIRE_STANDIN()                                                              \
    do {                                                                               \
        if (contentHost().IsEmpty()) GTEST_SKIP() << "runs inside a stand-in instance"; \
    } while (0)

// Requests of the instance's log whose path contains the text.
int requestsFor(const char* path) {
    std::string log = readBytes(instanceFolder() + L"requests.jsonl");
    std::string needle = std::string("\"path\": \"") + path + "\"";
    int count = 0;
    for (size_t at = log.find(needle); at != std::string::npos; at = log.find(needle, at + 1)) ++count;
    return count;
}

bool download(const CString& url, const CString& path) {
    std::string bytes;
    download_worker worker(url);
    bool ok = worker.remote_file_download_tls(0, nullptr, [&bytes](const BYTE* data, UINT32 count) {
        if (data && count) bytes.append(reinterpret_cast<const char*>(data), count);
        return 1;
    });
    return ok && common_util::ensure_directory(path) && writeBytes(path, bytes);
}

UINT32 crcOf(const std::string& bytes) {
    return static_cast<UINT32>(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

InfInfo* vehicleEntry(const wchar_t* inf, int position, InfInfo* first) {
    auto* entry = new InfInfo;
    entry->setInfUrl(L"https://" + contentHost() + L"/contents/inf/");
    entry->setInfFileName(inf);
    entry->setModelCode(L"A01");
    entry->setModelFlag(position);
    entry->setFirstDescriptor(first ? first : entry);
    entry->setSwVersion(L"KOR.TS.A01.000.SD.STD_240501");
    entry->setBrandCode(L"TS");
    entry->m_guard.set();
    return entry;
}

TEST(StandinDescriptors, ItemsMatchThePackagesTheHostServes) {
    REQUIRE_STANDIN();
    InfInfoList list;
    InfInfo* common = vehicleEntry(L"TS_A01_COMMON.inf", 0, nullptr);
    list.insertSorted(vehicleEntry(L"TS_A01_MODEL.inf", 1, common));
    list.insertSorted(common);

    std::unique_ptr<InfInfoList> vehicle(list.filterByModelCode(L"a01"));
    ASSERT_EQ(vehicle->m_list.front(), common);
    update_list_builder::build(vehicle->m_list);

    // Loaded once: asking again makes no request.
    ASSERT_NE(common->getInfFileHead(), nullptr);
    EXPECT_EQ(common->getLastHttpStatus(), 200);
    EXPECT_EQ(common->getLastWorkerResult(), 0);
    EXPECT_EQ(requestsFor("/contents/inf/TS_A01_COMMON.inf"), 1);
    EXPECT_EQ(common->getInfFileHead()->getVersion(), L"2024.05.01");

    // The text is kept for reference in the temporary folder.
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::string copy = readBytes(CString(temp) + L"Kestrune\\TS_A01_COMMON.inf");
    EXPECT_EQ(copy.compare(0, 2, "# "), 0);
    EXPECT_NE(copy.find("UPDATE_VERSION = \"2024.05.01\"\r\n"), std::string::npos);

    InfFileUpdateList& items = InfFileUpdateList::getInstance();
    ASSERT_EQ(items.size(), 5u);
    TempDir root;
    int split = 0, zipped = 0, whole = 0;
    items.forEach([&](int, InfFileUpdate* item) {
        const CString what = item->getFileName();
        if (item->getNumSpan() == 0) {
            ++whole;
            CString path = item->getFilePath(root.path());
            EXPECT_TRUE(download(item->getFileUrl(), path)) << what.GetString();
            std::string bytes = readBytes(path);
            EXPECT_EQ(static_cast<LONGLONG>(bytes.size()), item->getFileSize()) << what.GetString();
            EXPECT_EQ(crcOf(bytes), item->getFileCrc()) << what.GetString();
            return true;
        }
        ++(item->getNumSpan() > 1 ? split : zipped);
        LONGLONG received = 0;
        for (int n = 0; n < item->getNumSpan(); ++n) {
            CString path = item->getPartPath(root.path(), n);
            EXPECT_TRUE(download(item->getPartUrl(n), path)) << what.GetString() << n;
            received += static_cast<LONGLONG>(readBytes(path).size());
        }
        EXPECT_EQ(received, item->getZipSize()) << what.GetString();

        // The described file is the package's entry of that name.
        CZipArchive zip;
        zip.Open(item->getZipPath(root.path()).GetString());
        bool found = false;
        for (WORD i = 0; i < zip.GetCount(); ++i) {
            CZipFileHeader header;
            zip.GetFileInfo(header, i);
            if (header.GetFileName().Right(what.GetLength()) != what) continue;
            found = true;
            EXPECT_EQ(static_cast<LONGLONG>(header.m_uUncomprSize), item->getFileSize()) << what.GetString();
            EXPECT_EQ(header.m_uCrc32, item->getFileCrc()) << what.GetString();
            EXPECT_TRUE(zip.ExtractFile(i, (root.path() + L"x").GetString())) << what.GetString();
        }
        zip.Close();
        EXPECT_TRUE(found) << what.GetString();
        return true;
    });
    EXPECT_EQ(split, 1);
    EXPECT_EQ(zipped, 2);
    EXPECT_EQ(whole, 2);

    // The model descriptor's items lie beside the common ones.
    InfFileUpdate* modelItem =
        items.findByEntry(vehicle->m_list.back()->getInfFileTails()->get(0));
    ASSERT_NE(modelItem, nullptr);
    EXPECT_EQ(modelItem->getDestPath(), L"TS_A01_COMMON\\MODEL");

    ver_file_list::getInstance().clear();
    items.clear();
}

TEST(StandinDescriptors, ReferenceCopyStaysInItsFolder) {
    REQUIRE_STANDIN();
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const CString outside = CString(temp) + L"inf\\TS_B02.inf";
    DeleteFileW(outside.GetString());

    // The host resolves the ".." of the address; the copy takes the last
    // part of the name only.
    std::unique_ptr<InfInfo> entry(vehicleEntry(L"../inf/TS_B02.inf", 0, nullptr));
    ASSERT_NE(entry->getInfFileHead(), nullptr);
    EXPECT_TRUE(fileExists(CString(temp) + L"Kestrune\\TS_B02.inf"));
    EXPECT_FALSE(fileExists(outside));
}

void setFaults(const std::string& rules) {
    const CString target = instanceFolder() + L"faults.json";
    ASSERT_TRUE(writeBytes(target + L".tmp", rules));
    ASSERT_TRUE(MoveFileExW((target + L".tmp").GetString(), target.GetString(), MOVEFILE_REPLACE_EXISTING));
}

// An error page served with 200 is read, found to hold no descriptor, and
// reported as such: nothing counts as loaded.
TEST(StandinDescriptors, ErrorPageIsNoDescriptor) {
    REQUIRE_STANDIN();
    setFaults(R"([{"path":"/contents/inf/PAGE.inf","status":200,"body":"<html>[busy] try later</html>"}])");
    std::unique_ptr<InfInfo> entry(vehicleEntry(L"PAGE.inf", 0, nullptr));
    EXPECT_EQ(entry->getInfFileHead(), nullptr);
    EXPECT_EQ(entry->getLastHttpStatus(), 200);
    EXPECT_EQ(entry->getLastWorkerResult(), INET_ERROR_UNUSABLE_BODY);
    EXPECT_EQ(entry->getReadCount(), 0);
    setFaults("[]");
}

// A host that never answers: the asking thread gets its answer soon after
// it clears its run flag, not after every attempt ran out.
TEST(StandinDescriptors, RunFlagEndsTheLoad) {
    REQUIRE_STANDIN();
    setFaults(R"([{"path":"/contents/inf/STALL.inf","stall":60,"stall_after":-1}])");
    std::unique_ptr<InfInfo> entry(vehicleEntry(L"STALL.inf", 0, nullptr));
    std::atomic<bool> run{true};
    InfFileHead* head = reinterpret_cast<InfFileHead*>(1);
    ULONGLONG clearedAt = 0, doneAt = 0;
    std::thread load([&] {
        head = entry->getInfFileHead(&run);
        doneAt = GetTickCount64();
    });
    Sleep(1000);
    clearedAt = GetTickCount64();
    run = false;
    load.join();
    EXPECT_EQ(head, nullptr);
    // One blocked send may still run out its time-out; never the many
    // attempts an unreachable host costs.
    EXPECT_LT(doneAt - clearedAt, 20000u);
    EXPECT_LE(requestsFor("/contents/inf/STALL.inf"), 2);
    setFaults("[]");
}

TEST(StandinDescriptors, UnreachableDescriptor) {
    REQUIRE_STANDIN();
    std::unique_ptr<InfInfo> entry(vehicleEntry(L"MISSING.inf", 0, nullptr));
    EXPECT_EQ(entry->getInfFileHead(), nullptr);
    EXPECT_EQ(entry->getFailureCount(), 4);
    EXPECT_EQ(entry->getLastHttpStatus(), 404);
    EXPECT_EQ(entry->getLastWorkerResult(), INET_ERROR_HTTP_STATUS);
    EXPECT_EQ(entry->getInfFileTails(), nullptr);
    EXPECT_EQ(entry->getFailureCount(), 8);
}

}  // namespace
