#include "descriptors/update_list_builder.h"
#include "tests/descriptors/descriptor_fixtures.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using Lines = std::vector<CString>;

Lines linesOf(const std::string& bytes) {
    Lines lines;
    CString text = MultiByteToWide(bytes.c_str(), CP_UTF8, static_cast<int>(bytes.size()));
    common_util::split(text, L"\n", [&lines](int, const CString& line) {
        lines.push_back(line);
        return true;
    });
    return lines;
}

TEST(VerFileHead, LayoutsAndMarkers) {
    ver_file_head_v2 v2;
    v2.setInfVersion(L"2024.05.01");
    v2.setSwVersion(L"KOR.TS.A01");
    v2.setBrandCode(L"TS");
    v2.setVerName(L"CAR");
    v2.setModelCode(L"A01");
    v2.setComplete(1);
    EXPECT_EQ(v2.serialize(), L"+|2024.05.01|KOR.TS.A01|TS|CAR|A01|1");
    EXPECT_EQ(v2.getVersion(), 2);

    ver_file_head_v1 v1;
    v1.setBrandCode(L"ignored");
    v1.setVerName(L"CAR");
    v1.setComplete(0);
    EXPECT_EQ(v1.serialize(), L"*|||CAR||0");
    EXPECT_EQ(v1.getBrandCode(), L"");
    EXPECT_EQ(v1.getVersion(), 1);

    EXPECT_EQ(ver_file_head::versionToMarker(3), L"");
    EXPECT_EQ(ver_file_head::markerToVersion(L"+"), 2);
    EXPECT_EQ(ver_file_head::markerToVersion(L"#"), 0);
}

TEST(VerFileData, ReadsBothGenerations) {
    struct Case {
        const wchar_t* what;
        CString text;
        int layout;  // 0: no head
        const wchar_t* verName;
        const wchar_t* model;
        const wchar_t* brand;
        int complete;
        std::vector<Lines> entries;  // destination, file name, CRC column
    } cases[] = {
        {L"layout 2", L"+|1.0|SW|TS|CAR|A01|1\nCAR\\MAP|a.dat|3|-1|10|1\n", 2, L"CAR", L"A01", L"TS", 1,
         {{L"CAR\\MAP", L"a.dat", L"-1"}}},
        {L"layout 2 with CR LF", L"+|1.0|SW|TS|CAR|A01|1\r\nCAR\\MAP|a.dat|3|-1|10|1\r\n", 2, L"CAR", L"A01", L"TS",
         1, {{L"CAR\\MAP", L"a.dat", L"-1"}}},
        {L"layout 1", L"*|1.0|SW|CAR|A01|0\nMAP|b.dat|1|5|2|0\n\nX|c|1|6|3|1", 1, L"CAR", L"A01", L"", 0,
         {{L"MAP", L"b.dat", L"5"}, {L"X", L"c", L"6"}}},
        {L"a second head line is an entry", L"+|1|S|B|N|M|0\n+|2|S|B|N2|M|1\n", 2, L"N", L"M", L"B", 0,
         {{L"+", L"2", L"B"}}},
        {L"empty first line: no head", L"\nMAP|b.dat|1|5|2|0\n", 0, L"", L"", L"", 0, {{L"MAP", L"b.dat", L"5"}}},
    };
    for (const auto& c : cases) {
        ver_file_data data;
        data.parse(c.text);
        if (c.layout == 0) {
            EXPECT_EQ(data.head, nullptr) << c.what;
        } else {
            ASSERT_NE(data.head, nullptr) << c.what;
            EXPECT_EQ(data.head->getVersion(), c.layout) << c.what;
            EXPECT_EQ(data.head->getVerName(), c.verName) << c.what;
            EXPECT_EQ(data.head->getModelCode(), c.model) << c.what;
            EXPECT_EQ(data.head->getBrandCode(), c.brand) << c.what;
            EXPECT_EQ(data.head->getComplete(), c.complete) << c.what;
        }
        std::vector<Lines> entries;
        for (const ver_file_entry* entry : data.entries) {
            entries.push_back({entry->getDestPath(), entry->getFileName(), entry->getField(3)});
        }
        EXPECT_EQ(entries, c.entries) << c.what;
    }
}

// A vehicle with a common descriptor and, optionally, a model descriptor,
// turned into update items and version-file elements as an update start
// does. Names are unique per test: the medium mode writes into the
// medium's root.
class VersionFiles : public testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        m_name.Format(L"VT%lu_%d", GetCurrentProcessId(), counter++);
        m_local = L"R:\\" + m_name + L"_dl";
    }
    void TearDown() override {
        ver_file_list::getInstance().clear();
        InfFileUpdateList::getInstance().clear();
        removeTree(m_local);
        removeTree(L"R:\\" + m_name);
        removeTree(mediumRoot());
    }

    void build(bool withModel) {
        CString common = standardHead() +
                         crlf({L"[F1]", L"AG_FILENAME=지도.dat", L"AG_FILESIZE=5000000000", L"AG_FILECRC=4294967295",
                               L"AG_VER=3", L"DEST_PATH=$SD_ROOT$\\맵\\sub", L"FILEINFO_PATH=$COMMON_PATH$/MAP",
                               L"[F2]", L"AG_FILENAME=b.dat", L"AG_FILESIZE=2", L"AG_FILECRC=7", L"AG_VER=1",
                               L"DEST_PATH=$SD_ROOT$", L"FILEINFO_PATH=x", L"[F3]", L"AG_FILENAME=skip.dat",
                               L"ERROR=1", L"FILEINFO_PATH=x"});
        m_common = entryFromText(m_name + L".inf", common);
        m_common->setSwVersion(L"KOR.TS.A01.000.SD.STD_1|USA.TS.A01  ");
        m_common->setBrandCode(L"TS");
        m_common->setModelCode(L"A01");
        std::list<InfInfo*> entries{m_common.get()};
        if (withModel) {
            CString model = standardHead() + crlf({L"[F1]", L"AG_FILENAME=m.dat", L"AG_FILESIZE=4", L"AG_FILECRC=9",
                                                   L"AG_VER=2", L"DEST_PATH=$SD_ROOT$\\MODEL",
                                                   L"FILEINFO_PATH=x"});
            m_model = entryFromText(m_name + L"_M1.inf", model, 1, m_common.get());
            m_model->setModelCode(L"A01");
            entries.push_back(m_model.get());
        }
        update_list_builder::build(entries);
    }

    void setStates(int state) {
        InfFileUpdateList::getInstance().forEach([state](int, InfFileUpdate* item) {
            item->m_nState = state;
            return true;
        });
    }

    CString localFile() const { return m_local + L"\\" + m_name + L"\\" + m_name + L".ver"; }
    // The medium mode drops the version file's own folder below the medium's
    // root (here a folder of R:, so that names stay unique per test).
    CString mediumFile() const { return mediumRoot() + L"\\" + m_name + L".ver"; }
    CString mediumRoot() const { return L"R:\\" + m_name + L"_x"; }

    CString m_name;
    CString m_local;
    std::unique_ptr<InfInfo> m_common;
    std::unique_ptr<InfInfo> m_model;
};

TEST_F(VersionFiles, OneDescriptorInTheDownloadFolderAndOnTheMedium) {
    build(false);
    EXPECT_EQ(InfFileUpdateList::getInstance().size(), 2u);  // the error entry makes no item
    ver_file_list& list = ver_file_list::getInstance();
    ASSERT_EQ(list.elements().size(), 1u);

    setStates(ITEM_STATE_UNZIPPED);
    list.write(m_local, VER_WRITE_LOCAL);
    CString head = L"+|2024.05.01|KOR.TS.A01.000.SD.STD_1|TS|" + m_name + L"|A01|";
    EXPECT_EQ(linesOf(readBytes(localFile())),
              (Lines{head + L"1", m_name + L"\\맵\\sub|지도.dat|3|-1|5000000000|1", m_name + L"|b.dat|1|7|2|1", L""}));

    list.write(mediumRoot(), VER_WRITE_MEDIUM);
    EXPECT_EQ(linesOf(readBytes(mediumFile())), (Lines{head + L"0", L"맵\\sub|지도.dat|3|-1|5000000000|0",
                                                       L"|b.dat|1|7|2|0", L""}));

    // A copy that failed still counts as unpacked for the download folder.
    setStates(ITEM_STATE_COPY_FAILED);
    list.write(m_local, VER_WRITE_PRECHECK);
    EXPECT_EQ(linesOf(readBytes(localFile()))[0], head + L"1");

    setStates(ITEM_STATE_COPIED);
    list.write(mediumRoot(), VER_WRITE_MEDIUM);
    Lines medium = linesOf(readBytes(mediumFile()));
    ASSERT_EQ(medium.size(), 4u);
    EXPECT_EQ(medium[0], head + L"1");
    EXPECT_EQ(medium[1], L"맵\\sub|지도.dat|3|-1|5000000000|1");

    // Read back, the version file gives the same records.
    ver_file_data data;
    data.parse(MultiByteToWide(readBytes(mediumFile()).c_str(), CP_UTF8));
    ASSERT_NE(data.head, nullptr);
    EXPECT_EQ(data.head->getComplete(), 1);
    EXPECT_EQ(data.head->getSwVersion(), L"KOR.TS.A01.000.SD.STD_1");
    ASSERT_EQ(data.entries.size(), 2u);
    EXPECT_EQ(data.entries[0]->getFileName(), L"지도.dat");
}

TEST_F(VersionFiles, ModelItemsAreListedUnderTheCommonHead) {
    build(true);
    ver_file_list& list = ver_file_list::getInstance();
    ASSERT_EQ(list.elements().size(), 2u);
    InfFileUpdate* modelItem =
        InfFileUpdateList::getInstance().findByEntry(m_model->getInfFileTails()->get(0));
    ASSERT_NE(modelItem, nullptr);
    EXPECT_EQ(modelItem->getDestPath(), m_name + L"\\MODEL");

    setStates(ITEM_STATE_UNZIPPED);
    modelItem->m_nState = ITEM_STATE_DOWNLOADED;
    list.write(m_local, VER_WRITE_LOCAL);
    Lines lines = linesOf(readBytes(localFile()));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].Right(2), L"|0");  // the model item is not unpacked yet
    EXPECT_EQ(lines[3], m_name + L"\\MODEL|m.dat|2|9|4|0");

    modelItem->m_nState = ITEM_STATE_COPIED;
    list.write(m_local, VER_WRITE_LOCAL);
    EXPECT_EQ(linesOf(readBytes(localFile()))[0].Right(2), L"|1");
    list.write(mediumRoot(), VER_WRITE_MEDIUM);
    EXPECT_EQ(linesOf(readBytes(mediumFile()))[3], L"MODEL|m.dat|2|9|4|1");
}

TEST_F(VersionFiles, NothingToWrite) {
    build(true);
    ver_file_list& list = ver_file_list::getInstance();
    // Only a model element: no head names the file.
    list.clear();
    list.append(ver_file::from_InfInfo(m_model.get(), VER_FILE_HVQ_MODEL));
    list.write(m_local, VER_WRITE_LOCAL);
    EXPECT_FALSE(fileExists(localFile()));

    list.clear();
    list.append(ver_file::from_InfInfo(m_common.get(), VER_FILE_HVQ_COMMON));
    list.write(m_local, 4);
    list.write(m_local, -1);
    EXPECT_FALSE(fileExists(localFile()));

    // Right after a clear nothing is written, not even the warning.
    list.clear();
    list.write(m_local, VER_WRITE_LOCAL);
    EXPECT_FALSE(fileExists(localFile()));
}

TEST_F(VersionFiles, ModeZeroMarksComplete) {
    build(false);
    ver_file_list::getInstance().write(m_local, 0);
    Lines lines = linesOf(readBytes(localFile()));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].Right(2), L"|1");
    EXPECT_EQ(lines[1].Right(2), L"|0");
}

TEST_F(VersionFiles, HeadWithoutItemsIsNeverComplete) {
    // The descriptor reads, but its only entry makes no item.
    m_common = entryFromText(m_name + L".inf", standardHead() + crlf({L"[F]", L"AG_FILENAME=x", L"ERROR=1"}));
    std::list<InfInfo*> entries{m_common.get()};
    update_list_builder::build(entries);
    ASSERT_EQ(InfFileUpdateList::getInstance().size(), 0u);
    for (int mode : {0, static_cast<int>(VER_WRITE_LOCAL)}) {
        ver_file_list::getInstance().write(m_local, mode);
        Lines lines = linesOf(readBytes(localFile()));
        ASSERT_EQ(lines.size(), 2u) << mode;
        EXPECT_EQ(lines[0].Right(2), L"|0") << mode;
    }
}

TEST_F(VersionFiles, RelativeOrEmptyFolderIsRefused) {
    build(false);
    TempDir current;
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(current.path().GetString()));
    for (const wchar_t* dir : {L"", L"rel", L".\\rel", L"\\" }) {
        ver_file_list::getInstance().write(dir, VER_WRITE_LOCAL);
    }
    SetCurrentDirectoryW(previous);
    EXPECT_FALSE(fileExists(current / m_name)) << "beside the process";
    EXPECT_FALSE(fileExists(current / (L"rel\\" + m_name)));
}

// The unzip side and the copy side write at the same moment: neither write is
// lost.
TEST_F(VersionFiles, OverlappingWritesBothLand) {
    build(false);
    setStates(ITEM_STATE_COPIED);
    for (int round = 0; round < 20; ++round) {
        DeleteFileW(localFile().GetString());
        DeleteFileW(mediumFile().GetString());
        std::thread unzip([&] { ver_file_list::getInstance().write(m_local, VER_WRITE_LOCAL); });
        std::thread copy([&] { ver_file_list::getInstance().write(mediumRoot(), VER_WRITE_MEDIUM); });
        unzip.join();
        copy.join();
        ASSERT_TRUE(fileExists(localFile())) << round;
        ASSERT_TRUE(fileExists(mediumFile())) << round;
    }
    EXPECT_FALSE(ver_file_list::getInstance().isBusy());
}

TEST_F(VersionFiles, InterruptedWriteLeavesTheOldFile) {
    build(false);
    ver_file_list& list = ver_file_list::getInstance();
    list.write(m_local, VER_WRITE_LOCAL);
    std::string old = readBytes(localFile());
    ASSERT_FALSE(old.empty());

    // The old file held open without delete sharing: the new one is written
    // in full but cannot take its place.
    setStates(ITEM_STATE_UNZIPPED);
    HANDLE holder = CreateFileW(localFile().GetString(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    list.write(m_local, VER_WRITE_LOCAL);
    CloseHandle(holder);
    EXPECT_EQ(readBytes(localFile()), old);
    EXPECT_FALSE(fileExists(localFile() + L".tmp"));

    // Held only for a moment: the write waits for it instead of being lost.
    holder = CreateFileW(localFile().GetString(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    std::thread release([holder] {
        Sleep(100);
        CloseHandle(holder);
    });
    list.write(m_local, VER_WRITE_LOCAL);
    release.join();
    EXPECT_EQ(linesOf(readBytes(localFile()))[0].Right(2), L"|1");
    EXPECT_FALSE(fileExists(localFile() + L".tmp"));

    // Once free, a read-only or hidden file is replaced whole.
    SetFileAttributesW(localFile().GetString(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    list.write(m_local, VER_WRITE_LOCAL);
    EXPECT_EQ(linesOf(readBytes(localFile()))[0].Right(2), L"|1");
    EXPECT_FALSE(fileExists(localFile() + L".tmp"));
}

}  // namespace
