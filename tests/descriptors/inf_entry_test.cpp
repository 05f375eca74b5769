#include "descriptors/inf_info.h"
#include "tests/descriptors/descriptor_fixtures.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

InfFileTail* firstTail(InfInfo& entry) {
    InfFileTailMap* tails = entry.getInfFileTails();
    return tails ? tails->get(0) : nullptr;
}

TEST(InfHeadTail, DestinationAndSource) {
    struct Case {
        const wchar_t* infName;
        const wchar_t* dest;
        const wchar_t* source;
        const wchar_t* expectedDest;
        const wchar_t* expectedUrl;
    } cases[] = {
        {L"CAR.inf", L"$SD_ROOT$", L"$COMMON_PATH$", L"CAR", L"https://host/contents/pkg/CAR"},
        {L"CAR.inf", L"$SD_ROOT$\\MAP", L"$COMMON_PATH$/MAP", L"CAR\\MAP", L"https://host/contents/pkg/CAR/MAP"},
        {L"CAR.inf", L"MAP/sub", L"$COMMON_PATH$\\MAP\\\\sub", L"CAR\\MAP/sub",
         L"https://host/contents/pkg/CAR/MAP/sub"},
        {L"folder/sub\\CAR.v2.inf", L"\\MAP\\", L"x", L"CAR.v2\\MAP\\", L"https://host/contents/pkg/x"},
        {L"CAR.inf", L"", L"", L"CAR", L"https://host/contents/pkg"},
    };
    for (const auto& c : cases) {
        CString text = standardHead();
        text += crlf({L"[FILE]", L"AG_FILENAME=a.dat"});
        text += CString(L"DEST_PATH=") + c.dest + L"\r\nFILEINFO_PATH=" + c.source + L"\r\n";
        auto entry = entryFromText(c.infName, text);
        InfFileTail* tail = firstTail(*entry);
        ASSERT_NE(tail, nullptr) << c.infName;
        EXPECT_EQ(tail->getDestPath(), c.expectedDest) << c.dest;
        EXPECT_EQ(tail->getSourceUrl(), c.expectedUrl) << c.source;
    }
}

TEST(InfHeadTail, EntryAccessors) {
    CString text = standardHead(L"7.1");
    text += crlf({L"SPLIT_FILE_SIZE=-1048576 bytes", L"HVQ_FILE_TYPE=HVQ_MODEL", L"[FILE]", L"AG_FILENAME=\"dir\\MAP.IDX\"",
                  L"AG_FILESIZE=1-0", L"AG_FILECRC=4294967295", L"AG_NUMSPAN=-3", L"AG_ZIPNAME=MAP.zip",
                  L"AG_LASTNAME=last", L"AG_ZIPSIZE=99999999999999999999", L"AG_VER=-2", L"ERROR=-7", L"[NEXT]",
                  L"AG_FILENAME=b"});
    auto entry = entryFromText(L"CAR.inf", text);
    InfFileHead* head = entry->getInfFileHead();
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->getVersion(), L"7.1");
    EXPECT_EQ(head->getSplitFileSize(), -1048576);
    EXPECT_EQ(head->getInfFileName(), L"CAR.inf");
    EXPECT_EQ(head->getSdRoot(), L"SD");

    InfFileTail* tail = firstTail(*entry);
    ASSERT_NE(tail, nullptr);
    EXPECT_EQ(tail->getFileName(), L"dir\\MAP.IDX");
    EXPECT_EQ(tail->getFileSize(), -10);
    EXPECT_EQ(tail->getFileCrc(), 0xFFFFFFFFu);
    EXPECT_EQ(tail->getNumSpan(), 0);
    EXPECT_EQ(tail->getZipName(), L"MAP.zip");
    EXPECT_EQ(tail->getLastName(), L"last");
    EXPECT_EQ(tail->getZipSize(), LLONG_MAX);
    EXPECT_EQ(tail->getVer(), -2);
    EXPECT_EQ(tail->getError(), -7);
    // The type the download adds comes after the descriptor's own pair.
    EXPECT_EQ(tail->getFileType(), INF_FILE_TYPE_COMMON);
    EXPECT_EQ(entry->getInfFileTails()->get(1)->getError(), 0);
}

TEST(InfHeadTail, BaseNames) {
    struct Case {
        const wchar_t* name;
        const wchar_t* base;
    } cases[] = {
        {L"CAR.inf", L"CAR"},
        {L"a/b\\c.d.inf", L"c.d"},
        {L"x.y\\noext", L"noext"},
        {L"", L""},
    };
    for (const auto& c : cases) {
        InfFileHeadHvq head;
        head.addValue(L"INF_FILENAME", c.name);
        EXPECT_EQ(head.getInfBaseName(), c.base) << c.name;
    }
}

TEST(InfHeadTail, WalkStopsAtTheFirstMissingIndex) {
    InfFileHeadHvq head;
    InfFileTailMap map;
    for (int index : {0, 1, 3}) map.addSection(index, {{L"K", L"v"}}, &head);
    map.addSection(1, {{L"K", L"second"}}, &head);
    EXPECT_EQ(map.get(1)->getValue(L"K"), L"v");

    std::vector<int> visited;
    EXPECT_FALSE(map.forEach([&](int index, InfFileTail*) {
        visited.push_back(index);
        return true;
    }));
    EXPECT_EQ(visited, (std::vector<int>{0, 1}));
    EXPECT_TRUE(InfFileTailMap().forEach([](int, InfFileTail*) { return false; }));
}

TEST(InfHeadTail, MergedEntriesAreSharedAndFreedOnce) {
    auto common = entryFromText(L"COMMON.inf", standardHead() + crlf({L"[F]", L"AG_FILENAME=c1", L"[G]",
                                                                         L"AG_FILENAME=c2"}));
    auto model = entryFromText(L"MODEL.inf", standardHead() + crlf({L"[F]", L"AG_FILENAME=m1"}), 1, common.get());
    InfFileTailMap* target = model->getInfFileTails();
    target->mergeFront(*common->getInfFileTails());

    std::vector<CString> names;
    target->forEach([&](int, InfFileTail* tail) {
        names.push_back(tail->getFileName());
        return true;
    });
    EXPECT_EQ(names, (std::vector<CString>{L"c1", L"c2", L"m1"}));
    EXPECT_EQ(target->get(0), common->getInfFileTails()->get(0));

    // Both vehicle entries release the shared entries.
    model->releaseInfFile();
    EXPECT_EQ(common->getInfFileTails()->get(1)->getFileName(), L"c2");
    common.reset();
    model.reset();
}

TEST(InfInfoEntry, ReadAddsNameAndTypeByPosition) {
    struct Case {
        const wchar_t* name;
        int position;
        const wchar_t* infName;
        const wchar_t* type;
    } cases[] = {
        {L"CAR.inf", 0, L"CAR.inf", L"COMMON"},
        {L"CAR_M.inf", 2, L"CAR_M.inf", L"HVQ_MODEL"},
        {L"", 0, L"", L"COMMON"},
    };
    for (const auto& c : cases) {
        auto entry = entryFromText(c.name, standardHead() + crlf({L"[F]", L"A=1"}), c.position);
        EXPECT_EQ(entry->getReadCount(), 1);
        InfFileHead* head = entry->getInfFileHead();
        ASSERT_NE(head, nullptr);
        EXPECT_EQ(head->getInfFileName(), c.infName);
        EXPECT_EQ(head->getValue(L"HVQ_FILE_TYPE"), c.type);
    }
    InfInfo empty;
    EXPECT_EQ(empty.readInfText(CString()), 0);
    EXPECT_EQ(empty.getFailureCount(), 1);
}

// Texts that are no descriptor: an error page served with 200, a file whose
// line ends were changed, a head alone. None of them is loaded.
TEST(InfInfoEntry, TextWithoutEntriesIsNoDescriptor) {
    const struct {
        const wchar_t* what;
        CString text;
    } cases[] = {
        {L"LF line ends", L"[HEAD]\nUPDATE_VERSION=1\n[F]\nAG_FILENAME=a\n"},
        {L"HTML error page", L"<html><body>[503] Service busy</body></html>\r\n"},
        {L"head only", standardHead()},
        {L"sections without pairs", standardHead() + crlf({L"[F1]", L"[F2]", L"# nothing"})},
    };
    for (const auto& c : cases) {
        InfInfo entry;
        entry.setInfFileName(L"CAR.inf");
        EXPECT_EQ(entry.readInfText(c.text), 0) << c.what;
        EXPECT_EQ(entry.getReadCount(), 0) << c.what;
        EXPECT_EQ(entry.getFailureCount(), 1) << c.what;
        // A later good text still loads, with nothing of the bad one left.
        ASSERT_EQ(entry.readInfText(standardHead() + crlf({L"[F]", L"AG_FILENAME=a"})), 1) << c.what;
        EXPECT_TRUE(entry.getInfFileHead()->getValue(L"AG_FILENAME").IsEmpty()) << c.what;
    }
}

TEST(InfInfoEntry, DescriptorAddress) {
    for (const wchar_t* folder : {L"https://host/contents/inf", L"https://host/contents/inf/"}) {
        InfInfo entry;
        entry.setInfUrl(folder);
        entry.setInfFileName(L"CAR.inf");
        EXPECT_EQ(entry.getInfFileUrl(), L"https://host/contents/inf/CAR.inf") << folder;
    }
}

InfInfo* vehicle(BYTE first, int sort, const wchar_t* name, const wchar_t* model = L"A01", int position = 0) {
    auto* entry = new InfInfo;
    entry->setGroup(first);
    entry->setSortNumber(sort);
    entry->setCarName(name);
    entry->setModelCode(model);
    entry->setModelFlag(position);
    entry->setInfFileName(name);
    return entry;
}

std::vector<CString> namesOf(const InfInfoList& list) {
    std::vector<CString> names;
    for (const InfInfo* entry : list.m_list) names.push_back(entry->getInfFileName());
    return names;
}

TEST(InfInfoEntryList, OrderAndModelFilter) {
    InfInfoList list;
    list.insertSorted(vehicle(0, 5, L"N"));
    list.insertSorted(vehicle(1, 1, L"Q"));
    list.insertSorted(vehicle(0, 5, L"M"));
    list.insertSorted(vehicle(0, 9, L"P"));
    list.insertSorted(vehicle(0, 5, L"M2", L"b02", 1));
    list.insertSorted(vehicle(0, 5, L"M", L"B02", 0));
    EXPECT_EQ(namesOf(list), (std::vector<CString>{L"Q", L"P", L"M", L"M", L"M2", L"N"}));

    std::unique_ptr<InfInfoList> model(list.filterByModelCode(L"b02"));
    EXPECT_FALSE(model->isOwning());
    ASSERT_EQ(model->size(), 2u);
    EXPECT_EQ(model->m_list.front()->getModelFlag(), 0);
    EXPECT_EQ(model->m_list.back()->getInfFileName(), L"M2");

    // Several common descriptors of one model end up in reverse order.
    std::unique_ptr<InfInfoList> a01(list.filterByModelCode(L"A01"));
    EXPECT_EQ(namesOf(*a01), (std::vector<CString>{L"N", L"M", L"P", L"Q"}));
    a01.reset();
    EXPECT_EQ(list.size(), 6u);  // the filtered list owned nothing
    list.clear();
    EXPECT_TRUE(list.empty());
}

}  // namespace
