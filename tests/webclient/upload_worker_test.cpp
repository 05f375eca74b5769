#include "tests/webclient/print.h"
#include "tests/support/test_support.h"
#include "tests/webclient/standin_client.h"
#include "webclient/upload_worker.h"

#include <gtest/gtest.h>
#include <openssl/sha.h>

#include <random>

namespace {

const char kReplyPath[] = "/offlinevcrm/data.do";

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

RequestParamVCRM_Data vehicleDataParams() {
    RequestParamVCRM_Data p;
    p.m_strMsgCode = L"01";
    p.m_strApiVersion = L"1.0.0";
    p.m_strTermCode = L"07";
    return p;
}

class UploadWorker : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_STANDIN();
        standin::clearFaults();
        standin::markRequests();
        url = standin::config("VCRM_URL") + L":8443" + CString(kReplyPath);
        std::mt19937 random(7);
        content.resize(3 * 1048576 + 123);
        for (char& c : content) c = static_cast<char>(random());
        // A blank and Korean letters: the part head carries the name percent-encoded.
        path = dir / L"veh data \xD55C\xAE00.bin";
        ASSERT_TRUE(writeBytes(path, content));
    }
    void TearDown() override {
        if (standin::available()) standin::clearFaults();
    }

    TempDir dir;
    CString url, path;
    std::string content;
};

TEST_F(UploadWorker, FileArrivesWithItsNameAndTheEncryptedParameters) {
    upload_worker worker;
    std::string reply;
    ASSERT_TRUE(worker.vcrm_file_upload(url, vehicleDataParams(), path, [&](const BYTE* data, UINT32 count) {
        reply.append(reinterpret_cast<const char*>(data), count);
        return 1;
    }));
    EXPECT_EQ(worker.code, 0);
    EXPECT_EQ(worker.status, 200);
    EXPECT_FALSE(reply.empty());
    EXPECT_EQ(worker.reply_length, reply.size());

    auto log = standin::requests(kReplyPath);
    ASSERT_EQ(log.size(), 1u);
    const Json::Value& entry = log[0];
    EXPECT_TRUE(entry["errors"].empty()) << entry["errors"].toStyledString();
    EXPECT_EQ(entry["params"]["apiVersion"].asString(), "1.0.0");
    EXPECT_EQ(entry["params"]["msgCode"].asString(), "01");
    EXPECT_EQ(entry["params"]["termCode"].asString(), "07");
    // Never in clear on the wire.
    EXPECT_EQ(entry["query"].asString().find("msgCode=01"), std::string::npos);
    ASSERT_EQ(entry["upload"].size(), 1u);
    const Json::Value& file = entry["upload"][0];
    EXPECT_EQ(file["name"].asString(), "file");
    EXPECT_EQ(file["filename"].asString(), "veh data \xED\x95\x9C\xEA\xB8\x80.bin");
    EXPECT_EQ(file["filename_raw"].asString(), "veh%20data%20%ED%95%9C%EA%B8%80.bin");
    EXPECT_EQ(file["content_type"].asString(), "application/octet-stream");
    EXPECT_EQ(file["size"].asUInt64(), content.size());
    EXPECT_EQ(file["sha256"].asString(), sha256Hex(content));
}

TEST_F(UploadWorker, FailuresTable) {
    struct Case {
        const char* name;
        const char* rules;
        bool missingFile;
        bool ok;
        int code;
        size_t uploads;
        bool sinkCalled;
    } cases[] = {
        {"missing file", "[]", true, false, INET_ERROR_UPLOAD_FILE_MISSING, 0, false},
        {"server error", R"([{"path":"/offlinevcrm/*","status":500}])", false, false, INET_ERROR_HTTP_STATUS, 1, false},
        {"empty reply", R"([{"path":"/offlinevcrm/*","empty":true}])", false, true, 0, 1, false},
        {"reply never sent: bounded repeats", R"([{"path":"/offlinevcrm/*","cut":0}])", false, false,
         INET_ERROR_READ, 3, false},
        {"reply cut once, then whole", R"([{"path":"/offlinevcrm/*","cut":0,"times":1}])", false, true, 0, 2, true},
        // Wine ends the request without error and reports status 0 after it.
        {"closed without a reply", R"([{"path":"/offlinevcrm/*","drop":true}])", false, false, INET_ERROR_HTTP_STATUS,
         1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        standin::setFaults(c.rules);
        standin::markRequests();
        upload_worker worker;
        bool called = false;
        bool ok = worker.vcrm_file_upload(url, vehicleDataParams(), c.missingFile ? dir / L"none.bin" : path,
                                          [&](const BYTE*, UINT32) { return called = true, 1; });
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(worker.code, c.code);
        EXPECT_EQ(standin::requests(kReplyPath).size(), c.uploads);
        EXPECT_EQ(called, c.sinkCalled);
    }
}

}  // namespace
