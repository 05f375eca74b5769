#include "descriptors/inf_file_update.h"
#include "tests/descriptors/descriptor_fixtures.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

namespace {

// One descriptor entry with the given lines below the standard head.
struct OneEntry {
    std::unique_ptr<InfInfo> info;
    InfFileTail* tail = nullptr;

    OneEntry(std::initializer_list<const wchar_t*> lines, const wchar_t* infName = L"CAR.inf", int position = 0) {
        CString text = standardHead() + L"[FILE]\r\n" + crlf(lines);
        info = entryFromText(infName, text, position);
        tail = info->getInfFileTails()->get(0);
    }
};

TEST(UpdateItem, NamesOnTheHostAndOnDisk) {
    struct Case {
        const wchar_t* pieces;
        int n;
        const wchar_t* url;
        const wchar_t* path;
    } cases[] = {
        {L"AG_NUMSPAN=3", 0, L"https://host/contents/pkg/CAR/MAP/PKG001.zip", L"D:\\dl\\CAR\\MAP\\PKG.000"},
        {L"AG_NUMSPAN=3", 1, L"https://host/contents/pkg/CAR/MAP/PKG002.zip", L"D:\\dl\\CAR\\MAP\\PKG.001"},
        {L"AG_NUMSPAN=3", 2, L"https://host/contents/pkg/CAR/MAP/PKG003.zip", L"D:\\dl\\CAR\\MAP\\PKG.zip"},
        {L"AG_NUMSPAN=1", 0, L"https://host/contents/pkg/CAR/MAP/PKG.zip", L"D:\\dl\\CAR\\MAP\\PKG.zip"},
        {L"AG_NUMSPAN=0", 0, L"https://host/contents/pkg/CAR/MAP/PKG.zip", L"D:\\dl\\CAR\\MAP\\PKG.zip"},
        {L"AG_NUMSPAN=1000", 998, L"https://host/contents/pkg/CAR/MAP/PKG999.zip", L"D:\\dl\\CAR\\MAP\\PKG.998"},
        {L"AG_NUMSPAN=1000", 999, L"https://host/contents/pkg/CAR/MAP/PKG1000.zip", L"D:\\dl\\CAR\\MAP\\PKG.zip"},
    };
    for (const auto& c : cases) {
        OneEntry e({L"AG_FILENAME=sub\\MAP.IDX", L"AG_ZIPNAME=PKG.zip", L"AG_FILESIZE=10", L"AG_ZIPSIZE=30",
                    L"DEST_PATH=$SD_ROOT$\\MAP", L"FILEINFO_PATH=$COMMON_PATH$/MAP", c.pieces});
        InfFileUpdate item;
        ASSERT_TRUE(item.init(e.tail, CString())) << c.pieces;
        EXPECT_EQ(item.getPartUrl(c.n), c.url) << c.pieces << L" " << c.n;
        EXPECT_EQ(item.getPartPath(L"D:\\dl", c.n), c.path) << c.pieces << L" " << c.n;
        EXPECT_EQ(item.getFileUrl(), L"https://host/contents/pkg/CAR/MAP/MAP.IDX");
        EXPECT_EQ(item.getFilePath(L"D:\\dl\\"), L"D:\\dl\\CAR\\MAP\\sub\\MAP.IDX");
        EXPECT_EQ(item.getZipPath(L""), L"CAR\\MAP\\PKG.zip");
        EXPECT_EQ(item.getDownloadSize(), item.getNumSpan() != 0 ? 30 : 10);
    }
}

TEST(UpdateItem, FieldsAndState) {
    OneEntry e({L"AG_FILENAME=a.dat", L"AG_ZIPNAME=a.zip", L"AG_FILESIZE=5", L"AG_ZIPSIZE=7", L"AG_NUMSPAN=2",
                L"AG_FILECRC=3735928559", L"AG_VER=4", L"DEST_PATH=$SD_ROOT$\\X", L"FILEINFO_PATH=$COMMON_PATH$/"});
    InfFileUpdate item;
    ASSERT_TRUE(item.init(e.tail, L"ignored for common items"));
    EXPECT_TRUE(item.m_guard.intact());
    EXPECT_EQ(item.m_nState, ITEM_STATE_NEW);
    EXPECT_EQ(item.m_nKind, 2);
    EXPECT_EQ(item.m_nUsable, 1);
    EXPECT_EQ(item.getDestPath(), L"CAR\\X");
    EXPECT_EQ(item.getFileCrc(), 0xDEADBEEFu);
    EXPECT_EQ(item.getVer(), 4);
    EXPECT_EQ(item.getZipSize(), 7);
    // A source folder that ends in "/" gets no second separator.
    EXPECT_EQ(item.getSourceUrl(), L"https://host/contents/pkg/CAR/");
    EXPECT_EQ(item.getFileUrl(), L"https://host/contents/pkg/CAR/a.dat");
}

TEST(UpdateItem, EntriesThatMakeNoItem) {
    struct Case {
        const wchar_t* what;
        std::vector<const wchar_t*> lines;
        bool accepted;
        int usable;
    } cases[] = {
        {L"error flag", {L"ERROR=-1"}, false, 2},
        {L"exactly 128 GiB", {L"AG_FILESIZE=137438953472"}, true, 1},
        {L"one byte more", {L"AG_FILESIZE=137438953473"}, false, 0},
        {L"negative size", {L"AG_FILESIZE=-1"}, false, 0},
        {L"dest with ..", {L"DEST_PATH=$SD_ROOT$\\..\\..\\Windows"}, false, 0},
        {L"dest with ... level", {L"DEST_PATH=MAP/.../x"}, false, 0},
        {L"dest with a drive", {L"DEST_PATH=C:\\Windows"}, false, 0},
        {L"dest on a share", {L"DEST_PATH=\\\\server\\share"}, false, 0},
        {L"dest with one leading separator stays below", {L"DEST_PATH=\\MAP"}, true, 1},
        {L"file name with ..", {L"AG_FILENAME=..\\evil.dll"}, false, 0},
        {L"file name with a stream", {L"AG_FILENAME=a.dat:stream"}, false, 0},
        {L"zip name with ..", {L"AG_ZIPNAME=../x.zip"}, false, 0},
        {L"dots inside names are fine", {L"AG_FILENAME=a..b.dat", L"DEST_PATH=v1..2"}, true, 1},
    };
    for (const auto& c : cases) {
        CString text = standardHead() + L"[FILE]\r\n" +
                       crlf({L"AG_FILENAME=a.dat", L"AG_ZIPNAME=a.zip", L"AG_FILESIZE=1", L"DEST_PATH=MAP",
                             L"FILEINFO_PATH=MAP"});
        for (const wchar_t* line : c.lines) text += CString(line) + L"\r\n";
        auto info = entryFromText(L"CAR.inf", text);
        InfFileUpdate item;
        EXPECT_EQ(item.init(info->getInfFileTails()->get(0), CString()), c.accepted) << c.what;
        EXPECT_EQ(item.m_nUsable, c.usable) << c.what;
    }
}

TEST(UpdateItem, EmptySourceMakesNoItem) {
    auto info = entryFromText(L"CAR.inf", crlf({L"[H]", L"[F]", L"AG_FILENAME=a"}));
    InfFileUpdate item;
    EXPECT_FALSE(item.init(info->getInfFileTails()->get(0), CString()));
}

TEST(UpdateItem, ModelItemsMoveToTheCommonFolder) {
    struct Case {
        const wchar_t* destination;
        const wchar_t* folder;
        const wchar_t* expected;
    } cases[] = {
        {L"A\\B\\A_X", L"F", L"F\\B\\F_X"},
        {L"A/B", L"F", L"F/B"},
        {L"\\B", L"F", L"\\B"},
        {L"A", L"F", L"F"},
    };
    for (const auto& c : cases) EXPECT_EQ(replaceDestinationRoot(c.destination, c.folder), c.expected);

    OneEntry model({L"AG_FILENAME=m.dat", L"DEST_PATH=$SD_ROOT$\\MODEL", L"FILEINFO_PATH=x"}, L"CAR_M1.inf", 1);
    InfFileUpdate item;
    ASSERT_TRUE(item.init(model.tail, L"CAR"));
    EXPECT_EQ(item.getDestPath(), L"CAR\\MODEL");
    EXPECT_EQ(item.getFilePath(L"R:\\"), L"R:\\CAR\\MODEL\\m.dat");

    // A common folder that would leave the download folder is refused too.
    InfFileUpdate escaping;
    EXPECT_FALSE(escaping.init(model.tail, L".."));
}

TEST(UpdateItem, OverlongNamesGiveEmptyUrlsAndPaths) {
    CString longName(L'n', 300);
    CString line = L"AG_ZIPNAME=" + longName + L".zip";
    OneEntry e({L"AG_FILENAME=a.dat", line.GetString(), L"FILEINFO_PATH=x"});
    InfFileUpdate item;
    ASSERT_TRUE(item.init(e.tail, CString()));
    EXPECT_TRUE(item.getPartUrl(0).IsEmpty());
    EXPECT_TRUE(item.getZipPath(L"R:\\").IsEmpty());
    EXPECT_FALSE(item.getFileUrl().IsEmpty());
}

// Stands in for the transfer engine: counts what the list asks of it.
class FakeEngine : public update_item_engine {
public:
    void lockTasks() override {
        lock.lock();
        locked = true;
        ++locks;
    }
    void unlockTasks() override {
        locked = false;
        lock.unlock();
    }
    void removeItemRecords(InfFileUpdate* item) override {
        if (!locked) heldDuringRemove = false;
        removed.push_back(item);
    }

    std::mutex lock;
    bool locked = false;
    int locks = 0;
    bool heldDuringRemove = true;
    std::vector<InfFileUpdate*> removed;
};

TEST(UpdateItemList, AddVisitAndClearUnderTheEngineLock) {
    CString text = standardHead() + crlf({L"[A]", L"AG_FILENAME=a", L"FILEINFO_PATH=x", L"[B]", L"AG_FILENAME=b",
                                          L"ERROR=1", L"[C]", L"AG_FILENAME=c", L"FILEINFO_PATH=x"});
    auto info = entryFromText(L"CAR.inf", text);
    InfFileTailMap* tails = info->getInfFileTails();

    FakeEngine engine;
    InfFileUpdateList& list = InfFileUpdateList::getInstance();
    list.attachEngine(&engine);
    list.clear();
    tails->forEach([&](int, InfFileTail* tail) {
        list.add(tail, CString());
        return true;
    });
    list.add(tails->get(0), CString());  // a second item for the same entry
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list.findByEntry(tails->get(1)), nullptr);
    InfFileUpdate* first = list.findByEntry(tails->get(0));
    EXPECT_EQ(first->getFileName(), L"a");
    EXPECT_EQ(list.findEntry(first), tails->get(0));

    std::vector<CString> names;
    EXPECT_FALSE(list.forEach([&](int index, InfFileUpdate* item) {
        names.push_back(item->getFileName());
        return index < 1;
    }));
    EXPECT_EQ(names, (std::vector<CString>{L"a", L"c"}));

    list.clear();
    EXPECT_EQ(engine.removed.size(), 3u);
    EXPECT_TRUE(engine.heldDuringRemove);
    EXPECT_EQ(engine.locks, 5);
    EXPECT_EQ(list.findByEntry(tails->get(0)), nullptr);
    list.attachEngine(nullptr);

    // An empty queue visits nothing, keeps messages flowing for 100 ms and
    // reports false.
    ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(list.forEach([](int, InfFileUpdate*) { return true; }));
    EXPECT_GE(GetTickCount64() - start, 90u);
}

}  // namespace
