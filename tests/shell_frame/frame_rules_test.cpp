// The frame's window-free decisions: the download folder's default, dealer
// codes that may name a file, folders the clean-up may walk, and the
// connectivity thread's reaction to each poll.
#include "shell/frame_rules.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

using namespace frame_rules;

TEST(FrameRules, DataPathDefault) {
    const CString docs = L"C:\\Users\\u\\Documents";
    const CString downloads = L"C:\\Users\\u\\Downloads";
    struct Case {
        const wchar_t* stored;
        const wchar_t* downloads;
        const wchar_t* expected;
        bool replace;
    } cases[] = {
        {L"", downloads, L"C:\\Users\\u\\Downloads\\Kru", true},
        {L"C:\\Users\\u\\Documents\\Corvessa\\Kestrune\\Data", downloads, L"C:\\Users\\u\\Downloads\\Kru", true},
        // Another letter case is the user's own choice.
        {L"C:\\Users\\u\\documents\\Corvessa\\Kestrune\\Data", downloads,
         L"C:\\Users\\u\\documents\\Corvessa\\Kestrune\\Data", false},
        {L"D:\\Maps", downloads, L"D:\\Maps", false},
        {L"", L"", L"C:\\Users\\u\\Documents\\Kestrune\\Data", true},
    };
    for (const Case& c : cases) {
        bool replace = !c.replace;
        EXPECT_EQ(CString(c.expected), dataPathFor(c.stored, docs, c.downloads, replace)) << c.stored;
        EXPECT_EQ(c.replace, replace) << c.stored;
    }
}

TEST(FrameRules, DealerCodes) {
    const wchar_t* accepted[] = {L"D1234", L"AB-12_x", L"딜러7", L"a.b"};
    for (const wchar_t* code : accepted) EXPECT_TRUE(isSafeDealerCode(code)) << code;
    const wchar_t* refused[] = {L"",      L"..\\x",  L"a/b",  L"a\\b", L"C:x",  L"..",  L"a\tb",
                                L"a\nb",  L"CON",    L"nul",  L"COM1", L"lpt9", L"AUX.x", L"a*b",
                                L"a?b",   L"a|b",    L"a\"b", L"a<b"};
    for (const wchar_t* code : refused) EXPECT_FALSE(isSafeDealerCode(code)) << code;
    EXPECT_EQ(std::string("D\xEB\x94\x9C"), dealerFileBytes(L"D딜"));
    EXPECT_EQ(CString(L"dealercode_D1.txt"), dealerFileName(L"D1"));
}

TEST(FrameRules, CleanableFolders) {
    TempDir temp;
    CString out;
    EXPECT_TRUE(isCleanableFolder(temp.path(), out));
    EXPECT_EQ(temp.path(), out);
    CString noSlash = temp.path().Left(temp.path().GetLength() - 1);
    EXPECT_TRUE(isCleanableFolder(noSlash, out));
    EXPECT_EQ(temp.path(), out);
    const CString refused[] = {L"", L"relative\\dir", L"C:\\", L"C:", L"c:/", L"\\", L"\\\\server\\share",
                               temp.path() + L"missing", L"\\\\?\\C:\\x"};
    for (const CString& path : refused) EXPECT_FALSE(isCleanableFolder(path, out)) << path.GetString();
    writeBytes(temp / L"file.txt", "x");
    EXPECT_FALSE(isCleanableFolder(temp / L"file.txt", out));
}

TEST(FrameRules, OwnName) {
    EXPECT_EQ(CString(L"Model"), ownName(L"C:\\d\\Model"));
    EXPECT_EQ(CString(L"Model"), ownName(L"C:\\d\\Model\\"));
    EXPECT_EQ(CString(L"Model"), ownName(L"C:/d/Model.x"));
}

// One row per poll, in order: what the thread does with it.
TEST(FrameRules, NetworkWatchPerLoss) {
    struct Row {
        const char* what;
        NetworkPoll poll;
        bool polled, connected, record, stop, notify;
    };
    NetworkPoll downloading{false, false, true, false, true};
    NetworkPoll online{false, true, true, false, true};
    NetworkPoll onLogin{false, false, true, false, false};
    NetworkPoll noRoot{false, false, false, false, false};
    NetworkPoll done{true, false, true, false, true};
    NetworkPoll stopped{false, false, true, true, true};
    const Row rows[] = {
        {"loss on the login page: no record", onLogin, true, false, false, false, false},
        {"before the root exists: keep polling", noRoot, true, false, false, false, false},
        {"loss while downloading", downloading, true, false, true, true, true},
        {"the same loss a second later", downloading, true, false, false, true, false},
        {"and later still", downloading, true, false, false, true, false},
        {"frame stopped", stopped, true, false, false, false, false},
        {"downloads done: no poll", done, false, false, false, false, false},
        {"reconnect", online, true, true, false, false, false},
        {"a new loss is reported again", downloading, true, false, true, true, true},
    };
    NetworkWatch watch;
    // The frame's stop mark goes when the connection is back, or a later
    // loss would never stop the transfer again.
    NetworkPoll onlineStopped = online;
    onlineStopped.stopped = true;
    EXPECT_TRUE(watch.step(onlineStopped).clearStopped);
    EXPECT_FALSE(watch.step(online).clearStopped);
    EXPECT_FALSE(watch.step(stopped).clearStopped);
    for (const Row& r : rows) {
        NetworkActions a = watch.step(r.poll);
        EXPECT_EQ(r.polled, a.polled) << r.what;
        if (a.polled) EXPECT_EQ(r.connected, a.setConnected) << r.what;
        EXPECT_EQ(r.record, a.record) << r.what;
        EXPECT_EQ(r.stop, a.stop) << r.what;
        EXPECT_EQ(r.notify, a.notifyPage) << r.what;
    }
}
