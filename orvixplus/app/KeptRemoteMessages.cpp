#include "KeptRemoteMessages.h"

void CKeptRemoteMessages::Hold()
{
    m_messages.clear();
    m_bHolding = TRUE;
}

BOOL CKeptRemoteMessages::Keep(WPARAM wParam, LPARAM lParam)
{
    if (!m_bHolding)
        return FALSE;
    Message m = {wParam, lParam};
    m_messages.push_back(m);
    return TRUE;
}

void CKeptRemoteMessages::Drop()
{
    m_messages.clear();
    m_bHolding = FALSE;
}

void CKeptRemoteMessages::Release(const std::function<void(WPARAM, LPARAM)>& fn)
{
    // Still holding while each is handled: one that comes inside a handler
    // goes behind those kept before it, not ahead of them.
    while (m_bHolding && !m_messages.empty()) {
        Message m = m_messages.front();
        m_messages.pop_front();
        fn(m.wParam, m.lParam);
    }
    m_messages.clear();
    m_bHolding = FALSE;
}
