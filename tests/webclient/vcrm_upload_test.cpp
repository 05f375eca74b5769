#include "foundation/logmanager.h"
#include "tests/support/test_support.h"
#include "tests/webclient/print.h"
#include "tests/webclient/standin_client.h"
#include "webclient/api_endpoints.h"
#include "webclient/vcrm_upload.h"

#include <gtest/gtest.h>
#include <openssl/sha.h>

#include <set>
#include <string>
#include <vector>

namespace {

std::string sha256Hex(const std::string& bytes) {
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), digest);
    std::string hex;
    char two[3];
    for (unsigned char b : digest) {
        sprintf(two, "%02x", b);
        hex += two;
    }
    return hex;
}

std::set<CString> filesIn(const CString& folder) {
    std::set<CString> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*").GetString(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

TEST(VehicleDataStaging, FilesAreStagedUnderZipNames) {
    const struct {
        const char* name;
        std::vector<const wchar_t*> sources;
        int count;
        std::set<CString> staged;
    } cases[] = {
        {"nothing", {}, 0, {}},
        {"extension replaced or added", {L"a.dat", L"b"}, 2, {L"a.zip", L"b.zip"}},
        {"same base name: the first stays", {L"x.1", L"x.2"}, 2, {L"x.zip"}},
    };
    for (const auto& c : cases) {
        TempDir source, staging;
        for (const wchar_t* name : c.sources) writeBytes(source / name, CStringA(name).GetString());
        CreateDirectoryW((source / L"sub").GetString(), nullptr);
        writeBytes(source / L"sub\\inner.dat", "inner");
        const int found = vcrm_copy_zip_files(source.path(), staging.path());
        EXPECT_EQ(found, c.count) << c.name;
        EXPECT_EQ(filesIn(staging.path()), c.staged) << c.name;
        // Whatever was found and not staged keeps the source from going.
        if (c.staged.size() < static_cast<size_t>(found)) {
            EXPECT_FALSE(vcrm_upload_files(L"https://127.0.0.1:1/x", staging.path(), 1, found)) << c.name;
            EXPECT_EQ(filesIn(staging.path()), c.staged) << c.name;
        }
    }
    // A copy that fails: the source is held open without read sharing.
    {
        TempDir source, staging;
        writeBytes(source / L"held.dat", "h");
        HANDLE held = CreateFileW((source / L"held.dat").GetString(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        const int found = vcrm_copy_zip_files(source.path(), staging.path());
        CloseHandle(held);
        EXPECT_EQ(found, 1);
        EXPECT_TRUE(filesIn(staging.path()).empty());
        EXPECT_FALSE(vcrm_upload_files(L"https://127.0.0.1:1/x", staging.path(), 1, found));
    }
    // A staging folder that is not there.
    {
        TempDir parent;
        EXPECT_FALSE(vcrm_upload_files(L"https://127.0.0.1:1/x", parent / L"missing", 1));
    }
    // Content is copied unchanged.
    TempDir source, staging;
    writeBytes(source / L"car.dat", std::string("\x00\x01vehicle\xFF", 10));
    vcrm_copy_zip_files(source.path(), staging.path());
    EXPECT_EQ(readBytes(staging / L"car.zip"), std::string("\x00\x01vehicle\xFF", 10));
}

class VehicleDataUpload : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_STANDIN();
        standin::clearFaults();
        standin::markRequests();
        url.Format(L"%s:%d%s", getServerHost(API_VCRM_DATA).GetString(), getServerPort(API_VCRM_DATA),
                   getApiPath(API_VCRM_DATA).GetString());
    }
    void TearDown() override {
        if (standin::available()) standin::clearFaults();
    }
    TempDir staging;
    CString url;
};

TEST_F(VehicleDataUpload, StagedFileArrivesAndIsRemoved) {
    const std::string content("vehicle configuration\r\n\x01\x02", 25);
    writeBytes(staging / L"config.zip", content);
    EXPECT_TRUE(vcrm_upload_files(url, staging.path(), 5));
    EXPECT_TRUE(filesIn(staging.path()).empty());

    auto log = standin::requests("/offlinevcrm/data.do");
    ASSERT_EQ(log.size(), 1u);
    const Json::Value& e = log[0];
    EXPECT_EQ(e["status"].asInt(), 200);
    EXPECT_TRUE(e["errors"].empty()) << e["errors"].toStyledString();
    EXPECT_TRUE(e["warnings"].empty()) << e["warnings"].toStyledString();
    EXPECT_EQ(e["params"]["msgCode"].asString(), "01");
    EXPECT_EQ(e["params"]["termCode"].asString(), "05");
    CString version;
    LogManager::getFileVersion(version);
    EXPECT_EQ(e["params"]["apiVersion"].asString(), std::string(CStringA(version).GetString()));
    ASSERT_EQ(e["upload"].size(), 1u);
    EXPECT_EQ(e["upload"][0]["filename"].asString(), "config.zip");
    EXPECT_EQ(e["upload"][0]["size"].asUInt64(), content.size());
    EXPECT_EQ(e["upload"][0]["sha256"].asString(), sha256Hex(content));
}

TEST_F(VehicleDataUpload, RefusedUploadKeepsItsFiles) {
    const struct {
        const char* name;
        const char* rules;
        int files;
        BOOL result;
        size_t requests;
        size_t kept;
    } cases[] = {
        {"empty staging", "[]", 0, TRUE, 0, 0},
        {"refused", R"([{"path": "/offlinevcrm/*", "status": 400}])", 1, FALSE, 1, 1},
        // The first goes up, the second is refused, the third is not sent.
        {"second of three refused",
         R"([{"path": "/offlinevcrm/*", "rate": 100000000, "times": 1}, {"path": "/offlinevcrm/*", "status": 500}])",
         3, FALSE, 2, 2},
        {"no connection to the service", R"([{"path": "/offlinevcrm/*", "drop": true}])", 1, FALSE, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir folder;
        for (int i = 0; i < c.files; ++i) {
            CString name;
            name.Format(L"data%d.zip", i);
            writeBytes(folder / name, "payload");
        }
        standin::setFaults(c.rules);
        standin::markRequests();
        EXPECT_EQ(vcrm_upload_files(url, folder.path(), 7), c.result);
        EXPECT_EQ(standin::requests("/offlinevcrm/data.do").size(), c.requests);
        EXPECT_EQ(filesIn(folder.path()).size(), c.kept);
    }
}

}  // namespace
