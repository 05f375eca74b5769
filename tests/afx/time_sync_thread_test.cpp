#include "afx/afx.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

TEST(CTimeTest, LocalFieldsFormatAndSpans) {
    CTime t(2024, 1, 31, 14, 5, 9);
    EXPECT_EQ(t.GetYear(), 2024);
    EXPECT_EQ(t.GetMonth(), 1);
    EXPECT_EQ(t.GetDay(), 31);
    EXPECT_EQ(t.GetHour(), 14);
    EXPECT_EQ(t.GetMinute(), 5);
    EXPECT_EQ(t.GetSecond(), 9);
    EXPECT_EQ(t.Format(L"%Y%m%d"), CString(L"20240131"));
    EXPECT_EQ(t.Format(L"%Y-%m-%d %H:%M:%S"), CString(L"2024-01-31 14:05:09"));

    CTime earlier = t - CTimeSpan(9, 0, 0, 0);
    EXPECT_EQ(earlier.Format(L"%Y%m%d"), CString(L"20240122"));
    CTimeSpan span = t - earlier;
    EXPECT_EQ(span.GetDays(), 9);
    EXPECT_EQ(span.GetTotalSeconds(), 9 * 86400);
    EXPECT_EQ(CTimeSpan(1, 2, 3, 4).GetMinutes(), 3);
    EXPECT_TRUE(earlier < t);

    SYSTEMTIME st;
    ASSERT_TRUE(t.GetAsSystemTime(st));
    EXPECT_EQ(CTime(st), t);
}

TEST(CTimeTest, FileTimesAreTheSameInstant) {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    CTime fromFile(ft);
    CTime now = CTime::GetCurrentTime();
    EXPECT_LE((now - fromFile).GetTotalSeconds(), 2);
    EXPECT_GE((now - fromFile).GetTotalSeconds(), -2);
}

TEST(SyncTest, EventsAndLocks) {
    CEvent manual(FALSE, TRUE);
    EXPECT_FALSE(manual.Lock(0));
    manual.SetEvent();
    EXPECT_TRUE(manual.Lock(0));
    EXPECT_TRUE(manual.Lock(0));  // stays signalled
    manual.ResetEvent();
    EXPECT_FALSE(manual.Lock(0));

    CEvent automatic(TRUE, FALSE);
    EXPECT_TRUE(automatic.Lock(0));
    EXPECT_FALSE(automatic.Lock(0));  // reset by the wait

    CMutex mutex;
    {
        CSingleLock lock(&mutex, TRUE);
        EXPECT_TRUE(lock.IsLocked());
        lock.Unlock();
        EXPECT_FALSE(lock.IsLocked());
        EXPECT_TRUE(lock.Lock(100));
    }
    CMutex named(FALSE, L"KestruneTestMutex");
    HANDLE again = CreateMutexW(nullptr, FALSE, L"KestruneTestMutex");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CloseHandle(again);
}

struct Counter {
    CCriticalSection lock;
    long value = 0;
    CEvent done{FALSE, TRUE};
    std::atomic<int> finished{0};
};

UINT countUp(LPVOID p) {
    auto* c = static_cast<Counter*>(p);
    for (int i = 0; i < 10000; ++i) {
        CSingleLock lock(&c->lock, TRUE);
        ++c->value;
    }
    if (++c->finished == 4) c->done.SetEvent();
    return 0;
}

TEST(ThreadTest, AfxBeginThreadRunsAndDeletesItself) {
    Counter c;
    for (int i = 0; i < 4; ++i) {
        CWinThread* t = AfxBeginThread(countUp, &c, THREAD_PRIORITY_BELOW_NORMAL);
        ASSERT_NE(t, nullptr);
    }
    ASSERT_TRUE(c.done.Lock(10000));
    EXPECT_EQ(c.value, 40000);
}

UINT returnSeven(LPVOID) { return 7; }

TEST(ThreadTest, KeptThreadReportsItsExitCode) {
    CWinThread* t = AfxBeginThread(returnSeven, nullptr, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(t, nullptr);
    t->m_bAutoDelete = FALSE;
    t->ResumeThread();
    ASSERT_EQ(WaitForSingleObject(t->m_hThread, 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(t->m_hThread, &code);
    EXPECT_EQ(code, 7u);
    delete t;
}

}  // namespace
