#include "engine/download_retry.h"

#include "webclient/inet_codes.h"

bool download_retry::afterFailure(int error) {
    if (error == INET_ERROR_SEND_REQUEST) {
        --m_nSendAttempts;
        m_nWaitRounds = 50;
        m_dwWaitMs = 100;
    } else {
        --m_nAttempts;
        m_nWaitRounds = 50;
        m_dwWaitMs = 10;
    }
    return m_nAttempts > 0 && m_nSendAttempts > 0;
}
