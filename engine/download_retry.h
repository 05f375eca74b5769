#pragma once
// How often a download thread tries again: three attempts for most errors,
// ten for a request that could not be sent (the line may come back), and a
// wait before each new attempt.
#include <windows.h>

class download_retry {
public:
    // After a failed attempt: the wait before the next one, and whether
    // there is a next one.
    bool afterFailure(int error);
    int waitRounds() const { return m_nWaitRounds; }
    DWORD waitMs() const { return m_dwWaitMs; }

private:
    int m_nAttempts = 3;
    int m_nSendAttempts = 10;
    int m_nWaitRounds = 0;
    DWORD m_dwWaitMs = 0;
};
