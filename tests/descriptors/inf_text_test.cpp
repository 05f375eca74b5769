#include "descriptors/inf_info.h"
#include "descriptors/response_parser_inf_file.h"
#include "tests/descriptors/descriptor_fixtures.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

using Pairs = std::vector<CString>;

Pairs dump(const InfKeyValueList& list) {
    Pairs out;
    for (const auto& pair : list.pairs()) out.push_back(pair.first + L"=" + pair.second);
    return out;
}

struct Reading {
    bool ok = false;
    Pairs head;
    std::vector<Pairs> entries;
    bool walkedAll = false;
};

Reading read(const CString& text) {
    InfFileHeadHvq head;
    InfFileTailMap entries;
    ResponseParserInfFile parser(&head, &entries);
    Reading r;
    r.ok = parser.parse(text) == 1;
    r.head = dump(head.values());
    r.walkedAll = entries.forEach([&](int, InfFileTail* tail) {
        Pairs pairs;
        for (const char* key : {"A", "B", "X", "Y", "K"}) {
            CString value = tail->getValue(CString(key));
            if (!value.IsEmpty()) pairs.push_back(CString(key) + L"=" + value);
        }
        r.entries.push_back(pairs);
        return true;
    });
    return r;
}

TEST(InfText, ReadsDescriptorTexts) {
    struct Case {
        const wchar_t* what;
        CString text;
        Pairs head;
        std::vector<Pairs> entries;
    } cases[] = {
        {L"comments, blank lines, a '#' after a blank is a key",
         crlf({L"# header comment", L"[HEAD]", L"A=1", L" #B=2", L"", L"   ", L"[FILE]", L"X=1"}),
         {L"A=1", L"#B=2"}, {{L"X=1"}}},
        {L"quotes removed, blanks around '=' and quotes trimmed, inner blanks kept",
         crlf({L"[HEAD]", L"A = \"  two words  \"", L"B=\"q\"uo\"te\""}), {L"A=two words", L"B=quote"}, {}},
        {L"only the text between the first and a second '=' is the value",
         crlf({L"[HEAD]", L"A = v = w = z", L"=dropped", L"NOVALUE"}), {L"A=v", L"NOVALUE="}, {}},
        {L"'[' without ']' is a pair line; pairs before the first header dropped",
         crlf({L"A=before", L"[HEAD]", L"[no bracket"}), {L"[no bracket="}, {}},
        {L"sections 2, 3 and 4 become entries 0, 1 and 2",
         crlf({L"[H]", L"A=h", L"[F1]", L"X=1", L"[F2]", L"X=2", L"[F3]", L"X=3"}), {L"A=h"},
         {{L"X=1"}, {L"X=2"}, {L"X=3"}}},
        {L"sections without pairs create no entry and leave no hole",
         crlf({L"[H]", L"A=h", L"[E1]", L"[E2]", L"X=1", L"[E3]", L"# only a comment", L"", L"[E4]", L"Y=2"}),
         {L"A=h"}, {{L"X=1"}, {L"Y=2"}}},
        {L"a byte-order mark does not hide the head's header",
         CString(L"\xFEFF") + crlf({L"[H]", L"A=h", L"[F]", L"X=1"}), {L"A=h"}, {{L"X=1"}}},
        {L"LF alone ends no line: one header line, nothing else",
         L"[H]\nA=h\n[F]\nX=1\n", {}, {}},
        {L"a text without sections empties the head", L"A=1\r\nB=2", {}, {}},
        {L"the last line needs no line end", L"[H]\r\nA=h\r\n[F]\r\nK=last", {L"A=h"}, {{L"K=last"}}},
    };
    for (const auto& c : cases) {
        Reading r = read(c.text);
        EXPECT_TRUE(r.ok) << c.what;
        EXPECT_TRUE(r.walkedAll) << c.what;
        EXPECT_EQ(r.head, c.head) << c.what;
        EXPECT_EQ(r.entries, c.entries) << c.what;
    }
}

TEST(InfText, EmptyTextFailsAndKeepsWhatWasRead) {
    InfFileHeadHvq head;
    InfFileTailMap entries;
    ResponseParserInfFile first(&head, &entries);
    ASSERT_EQ(first.parse(crlf({L"[H]", L"A=1", L"[F]", L"X=1"})), 1);

    ResponseParserInfFile second(&head, &entries);
    EXPECT_EQ(second.parse(CString()), 0);
    EXPECT_EQ(second.getResultCode(), -1);
    EXPECT_EQ(head.getValue(L"A"), L"1");
    EXPECT_EQ(entries.size(), 1);
}

TEST(InfText, SecondReadingReplacesTheHeadAndKeepsPresentEntries) {
    InfFileHeadHvq head;
    InfFileTailMap entries;
    ResponseParserInfFile(&head, &entries).parse(crlf({L"[H]", L"A=1", L"[F]", L"X=old"}));
    head.addValue(L"INF_FILENAME", L"added.inf");
    ResponseParserInfFile(&head, &entries).parse(crlf({L"[H]", L"B=2", L"[F]", L"X=new", L"[G]", L"X=two"}));
    EXPECT_EQ(dump(head.values()), (Pairs{L"B=2"}));
    EXPECT_EQ(entries.get(0)->getValue(L"X"), L"old");
    EXPECT_EQ(entries.get(1)->getValue(L"X"), L"two");
}

TEST(InfText, LookupsAndReferences) {
    InfFileHeadHvq head;
    InfFileTailMap entries;
    ResponseParserInfFile(&head, &entries)
        .parse(crlf({L"[H]", L"ROOT_URL=first", L"root_url=second", L"SD=card", L"[F]", L"X=1"}));
    // Lookups ignore letter case and take the last pair...
    EXPECT_EQ(head.getValue(L"ROOT_URL"), L"second");
    EXPECT_EQ(head.getRootUrl(), L"second");
    // ...while a reference matches the exact key and takes the first pair.
    struct Case {
        const wchar_t* text;
        const wchar_t* value;
        const wchar_t* path;
    } cases[] = {
        {L"$ROOT_URL$/x", L"first/x", L"/x"},
        {L"$root_url$/x", L"second/x", L"/x"},
        {L"$Root_Url$/x", L"Root_Url/x", L"Root_Url/x"},
        {L"  $SD$\\MAP  ", L"card\\MAP", L"\\MAP"},
        {L"a$$SD$", L"a", L"a"},
        {L"plain", L"plain", L"plain"},
        {L"$SD$", L"card", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(head.expandValue(c.text), c.value) << c.text;
        EXPECT_EQ(head.expandPath(c.text), c.path) << c.text;
    }
}

TEST(InfText, NumbersOfEntries) {
    struct Case {
        const wchar_t* value;
        LONGLONG size;
        LONGLONG signed64;
        UINT32 crc;
        int number;
    } cases[] = {
        {L"", 0, 0, 0, 0},
        {L"1234", 1234, 1234, 1234, 1234},
        {L" 12 34 bytes", 1234, 1234, 1234, 1234},
        {L"-5", -5, -5, 0xFFFFFFFBu, -5},
        {L"1-2", -12, 1, 1, 1},
        {L"4294967295", 4294967295LL, 4294967295LL, 0xFFFFFFFFu, INT_MAX},
        {L"3735928559", 3735928559LL, 3735928559LL, 0xDEADBEEFu, INT_MAX},
        {L"137438953472", 137438953472LL, 137438953472LL, 0, INT_MAX},
        {L"-99999999999999999999", LLONG_MIN + 1, LLONG_MIN, 0, INT_MIN},
        {L"abc", 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(inf_number::readSize(c.value), c.size) << c.value;
        EXPECT_EQ(inf_number::readInt64(c.value), c.signed64) << c.value;
        EXPECT_EQ(inf_number::readCrc(c.value), c.crc) << c.value;
        EXPECT_EQ(inf_number::readInt(c.value), c.number) << c.value;
    }
}

TEST(InfText, FileTypeTable) {
    EXPECT_EQ(getFileTypeName(4), L"HVQ_MODEL");
    EXPECT_EQ(getFileTypeName(0), L"");
    EXPECT_EQ(getFileTypeName(6), L"");
    EXPECT_EQ(getFileTypeId(L"hvq_common"), 5);
    EXPECT_EQ(getFileTypeId(L"COMMON"), 3);
    EXPECT_EQ(getFileTypeId(L"COMMON "), 0);
}

TEST(InfText, DownloadedBytesBecomeText) {
    struct Case {
        std::string bytes;
        const wchar_t* text;
    } cases[] = {
        {"\xEF\xBB\xBF[H]\r\nA=1", L"[H]\r\nA=1"},
        {std::string("[H]\r\nA=1\0B=2", 12), L"[H]\r\nA=1"},
        {"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(infTextFromBytes(c.bytes.data(), c.bytes.size()), c.text);
}

}  // namespace
