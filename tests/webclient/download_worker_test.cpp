#include "tests/webclient/print.h"
#include "tests/support/test_support.h"
#include "tests/webclient/standin_client.h"
#include "webclient/connectivity.h"
#include "webclient/download_worker.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// Compares downloads without printing megabytes of binary on a failure.
testing::AssertionResult sameBytes(const std::string& got, const std::string& want) {
    if (got == want) return testing::AssertionSuccess();
    size_t at = 0;
    while (at < got.size() && at < want.size() && got[at] == want[at]) ++at;
    return testing::AssertionFailure() << "got " << got.size() << " bytes, want " << want.size()
                                       << ", first difference at " << at;
}

const wchar_t kPackage[] = L"/contents/pkg/TS_A01_COMMON/PKG/MAP.exe";
const wchar_t kNeverRequested[] = L"/contents/pkg/never-requested.bin";

// Collects what a download delivers, and how.
struct Collector {
    std::string bytes;
    int startCalls = 0;
    int polls = 0;
    size_t largestBatch = 0;

    ReceiveCallback sink() {
        return [this](const BYTE* data, UINT32 count) {
            if (count == 0) {
                if (data) ++startCalls;
                else ++polls;
                return 1;
            }
            bytes.append(reinterpret_cast<const char*>(data), count);
            largestBatch = std::max<size_t>(largestBatch, count);
            return 1;
        };
    }
};

class DownloadWorker : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_STANDIN();
        standin::clearFaults();
        ASSERT_TRUE(standin::descriptorEntry(L"TS_A01_COMMON.inf", L"MAP.exe", expected));
        standin::markRequests();
    }
    void TearDown() override {
        if (standin::available()) standin::clearFaults();
    }

    standin::Expected expected;
};

TEST(DownloadWorkerBasics, AddressAndAgentName) {
    download_worker worker(L"https:\\\\host\\\\a\\b.zip");
    EXPECT_EQ(worker.url, CString(L"https:/host/a/b.zip"));
    EXPECT_EQ(download_worker(L"http://h/x\\y").url, CString(L"http://h/x/y"));

    ASSERT_EQ(worker.agent_name.GetLength(), 13);
    EXPECT_EQ(worker.agent_name.Left(5), CString(L"VELM_"));
    for (int i = 5; i < 13; ++i) EXPECT_TRUE(iswalnum(worker.agent_name[i]) && worker.agent_name[i] < 128);
    EXPECT_EQ(worker.status, 0);
    EXPECT_EQ(worker.code, 0);
    EXPECT_EQ(worker.total, 0u);
}

TEST(DownloadWorkerBasics, ConnectionLimitsAreSet) {
    // Wine refuses the closing INTERNET_OPTION_REFRESH, so the result is
    // false here; the limits are in place before it.
    internet_worker::set_max_connections(6);
    for (DWORD option : {INTERNET_OPTION_MAX_CONNS_PER_SERVER, INTERNET_OPTION_MAX_CONNS_PER_1_0_SERVER}) {
        DWORD value = 0, size = sizeof(value);
        ASSERT_TRUE(InternetQueryOptionW(nullptr, option, &value, &size));
        EXPECT_EQ(value, 6u) << option;
    }
}

TEST(DownloadWorkerBasics, AddressesThatAreNoWebAddress) {
    for (const wchar_t* address : {L"ftp://127.0.0.1/a.zip", L"no address at all"}) {
        SCOPED_TRACE(CStringA(address).GetString());
        download_worker worker(address);
        Collector got;
        EXPECT_FALSE(worker.remote_file_download_tls(0, nullptr, got.sink()));
        EXPECT_EQ(worker.code, INET_ERROR_PARSE_URL);
        EXPECT_EQ(got.startCalls, 0);
    }
}

TEST(DownloadWorkerBasics, NoConnectionSpendsTheCyclesAndReportsOpen) {
    int asked = 0;
    ConnectivityProbe previous = setConnectivityProbe([&](DWORD& flags) {
        ++asked;
        flags = 0;
        return false;
    });
    download_worker worker(L"https://127.0.0.1/a.zip");
    Collector got;
    bool ok = worker.remote_file_download_tls(0, nullptr, got.sink());
    setConnectivityProbe(previous);
    EXPECT_FALSE(ok);
    EXPECT_EQ(worker.code, INET_ERROR_OPEN);
    EXPECT_EQ(asked, 20);
}

TEST_F(DownloadWorker, WholeFileArrivesInBatchesAfterOneStartCall) {
    download_worker worker(standin::url(kPackage));
    Collector got;
    ASSERT_TRUE(worker.remote_file_download_tls(0, nullptr, got.sink()));
    EXPECT_EQ(worker.code, 0);
    EXPECT_EQ(worker.status, 200);
    EXPECT_EQ(worker.total, expected.size);
    EXPECT_EQ(got.bytes.size(), expected.size);
    EXPECT_EQ(standin::crc32Of(got.bytes), expected.crc);
    EXPECT_EQ(got.startCalls, 1);
    EXPECT_LE(got.largestBatch, 1048576u);

    auto log = standin::requests("/contents/pkg/*");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(standin::header(log[0], "Range"), "");
    EXPECT_EQ(standin::header(log[0], "User-Agent"), std::string(CStringA(worker.agent_name).GetString()));
}

TEST_F(DownloadWorker, ResumesAtTheLocalLength) {
    download_worker first(standin::url(kPackage));
    Collector whole;
    ASSERT_TRUE(first.remote_file_download_tls(0, nullptr, whole.sink()));
    standin::markRequests();

    const ULONGLONG offset = 300000;
    download_worker worker(standin::url(kPackage));
    Collector rest;
    ASSERT_TRUE(worker.remote_file_download_tls(offset, nullptr, rest.sink()));
    EXPECT_EQ(worker.status, 206);
    EXPECT_EQ(worker.total, expected.size);
    EXPECT_TRUE(sameBytes(whole.bytes.substr(0, offset) + rest.bytes, whole.bytes));

    auto log = standin::requests("/contents/pkg/*");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(standin::header(log[0], "Range"), "bytes=300000-");

    // An offset beyond 4 GiB goes out in full (and is past this file's end).
    standin::markRequests();
    download_worker beyond(standin::url(kPackage));
    EXPECT_FALSE(beyond.remote_file_download_tls(5000000000ULL, nullptr, rest.sink()));
    EXPECT_EQ(beyond.status, 416);
    log = standin::requests("/contents/pkg/*");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(standin::header(log[0], "Range"), "bytes=5000000000-");
}

struct FaultCase {
    const char* name;
    const char* rules;
    ULONGLONG offset;
    bool ok;
    int code;
    size_t requests;  // requests the download makes (0: WinINet's own repeats make it vary)
};

// Each case downloads the package from offset; a successful one must yield
// exactly the bytes from offset to the end, none twice.
TEST_F(DownloadWorker, ServerFaultsTable) {
    const ULONGLONG size = expected.size;
    const std::string sizeText = std::to_string(size);
    const FaultCase cases[] = {
        {"connection reset mid-body", R"([{"path":"/contents/pkg/*","reset":100000,"times":1}])", 0, true, 0, 2},
        {"body cut short", R"([{"path":"/contents/pkg/*","cut":300000,"times":1}])", 0, true, 0, 2},
        {"cut on a resumed part", R"([{"path":"/contents/pkg/*","cut":1000,"times":1}])", 5000, true, 0, 2},
        {"no Content-Length", R"([{"path":"/contents/pkg/*","no_length":true}])", 0, true, 0, 1},
        {"Range ignored", R"([{"path":"/contents/pkg/*","ignore_range":true}])", 300000, true, 0, 1},
        {"404 without a body", R"([{"path":"/contents/pkg/*","status":404}])", 0, false, INET_ERROR_HTTP_STATUS, 1},
        {"404 with a body", R"([{"path":"/contents/pkg/*","status":404,"body":"missing"}])", 0, false,
         INET_ERROR_HTTP_STATUS, 1},
        {"500 without a body", R"([{"path":"/contents/pkg/*","status":500}])", 0, false, INET_ERROR_HTTP_STATUS, 1},
        {"empty 200 from the start", R"([{"path":"/contents/pkg/*","empty":true}])", 0, true, 0, 1},
        {"416 at the end", "[]", size, true, 0, 1},
        {"416 past the end", "[]", size + 10, false, INET_ERROR_HTTP_STATUS, 1},
        {"416 without Content-Range", R"([{"path":"/contents/pkg/*","status":416}])", size, false,
         INET_ERROR_HTTP_STATUS, 1},
        {"25 drops that each moved data", R"([{"path":"/contents/pkg/*","reset":10000,"times":25}])", 0, true, 0,
         26},
        {"dropped twice, then served", R"([{"path":"/contents/pkg/*","drop":true,"times":2}])", 0, true, 0, 0},
    };
    download_worker reference(standin::url(kPackage));
    Collector whole;
    ASSERT_TRUE(reference.remote_file_download_tls(0, nullptr, whole.sink()));
    ASSERT_EQ(whole.bytes.size(), size);

    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        standin::setFaults(c.rules);
        standin::markRequests();
        download_worker worker(standin::url(kPackage));
        Collector got;
        EXPECT_EQ(worker.remote_file_download_tls(c.offset, nullptr, got.sink()), c.ok);
        EXPECT_EQ(worker.code, c.code);
        if (c.requests) {
            EXPECT_EQ(standin::requestsAtLeast("/contents/pkg/*", c.requests).size(), c.requests);
        }
        if (c.ok && c.offset <= size) {
            if (std::string(c.name).find("empty") != std::string::npos) {
                EXPECT_TRUE(got.bytes.empty());
                EXPECT_EQ(worker.total, 0u);
            } else {
                EXPECT_TRUE(sameBytes(got.bytes, whole.bytes.substr(static_cast<size_t>(c.offset))));
                EXPECT_EQ(worker.total, size);
            }
        }
        if (!c.ok) {
            EXPECT_TRUE(got.bytes.empty());
        }
    }
}

TEST_F(DownloadWorker, SinkStopsTheDownload) {
    {
        download_worker worker(standin::url(kPackage));
        int calls = 0;
        EXPECT_FALSE(worker.remote_file_download_tls(0, nullptr, [&](const BYTE*, UINT32) { return ++calls, 0; }));
        EXPECT_EQ(worker.code, INET_STOPPED);
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(worker.total, expected.size);  // visible from the start call on
    }
    {
        download_worker worker(standin::url(kPackage));
        download_worker* self = &worker;
        ULONGLONG received = 0;
        EXPECT_FALSE(worker.remote_file_download_tls(0, nullptr, [&](const BYTE*, UINT32 count) {
            received += count;
            if (received == 0) return 1;
            self->code = INET_ERROR_READ;  // as the engine does for an oversized file
            return 0;
        }));
        EXPECT_EQ(worker.code, INET_ERROR_READ);
    }
}

TEST_F(DownloadWorker, ClearedRunFlagStopsWithinASecond) {
    standin::setFaults(R"([{"path":"/contents/pkg/*","rate":100000}])");
    RunFlag run{true};
    download_worker worker(standin::url(kPackage));
    Collector got;
    bool ok = true;
    ULONGLONG stoppedAt = 0;
    std::thread transfer([&] { ok = worker.remote_file_download_tls(0, &run, got.sink()); });
    Sleep(1500);
    ULONGLONG clearedAt = GetTickCount64();
    run = false;
    transfer.join();
    stoppedAt = GetTickCount64();
    EXPECT_FALSE(ok);
    EXPECT_EQ(worker.code, INET_STOPPED);
    EXPECT_LT(got.bytes.size(), expected.size);
    EXPECT_LT(stoppedAt - clearedAt, 1000u);

    // A flag cleared before the start stops before any request. The path is
    // this check's own: the line of the download stopped above may still be
    // written to the log after this point.
    RunFlag stopped{false};
    download_worker idle(standin::url(kNeverRequested));
    EXPECT_FALSE(idle.remote_file_download_tls(0, &stopped, got.sink()));
    EXPECT_EQ(idle.code, INET_STOPPED);
    EXPECT_TRUE(standin::requests("/contents/pkg/never-requested*").empty());
}

}  // namespace

namespace {

// The stand-in's address written as one decimal number: it reaches the same
// server, but the certificate does not name it.
CString unnamedAlias(const CString& dotted) {
    unsigned a = 0, b = 0, c = 0, d = 0;
    swscanf(dotted.GetString(), L"%u.%u.%u.%u", &a, &b, &c, &d);
    CString alias;
    alias.Format(L"%lu", static_cast<unsigned long>((a << 24) | (b << 16) | (c << 8) | d));
    return alias;
}

TEST_F(DownloadWorker, CertificateThatDoesNotNameTheServerIsRefused) {
    download_worker worker(L"https://" + unnamedAlias(standin::host()) + CString(kNeverRequested));
    Collector got;
    EXPECT_FALSE(worker.remote_file_download_tls(0, nullptr, got.sink()));
    EXPECT_EQ(worker.code, INET_ERROR_CERTIFICATE);
    EXPECT_TRUE(got.bytes.empty());
    EXPECT_EQ(got.startCalls, 0);
    // Refused before any request (a path of its own: an earlier test's last
    // log line may arrive late).
    EXPECT_TRUE(standin::requests("/contents/pkg/never-requested*").empty());
}

}  // namespace
