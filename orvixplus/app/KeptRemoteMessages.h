// Timewarden's remote messages that come while the main dialog starts. It
// finds the dialog by its caption, set early in the start, and the start's
// waits answer what it sends: a key handled there would find the channels and
// the graph not made yet. So they are kept, in their order, and handled once
// the start is through; those that come while the kept ones are handled (a
// tune's waits answer them too) queue behind them.
#pragma once
#include <windows.h>
#include <deque>
#include <functional>

class CKeptRemoteMessages {
public:
    CKeptRemoteMessages() : m_bHolding(FALSE) {}

    // From now on every message is kept.
    void Hold();
    // TRUE when the message was kept, to be handled by Release.
    BOOL Keep(WPARAM wParam, LPARAM lParam);
    // A start that failed: nothing kept acts, and nothing more is kept.
    void Drop();
    // Hands each kept message to fn in its order, those kept meanwhile
    // included, and then keeps no more.
    void Release(const std::function<void(WPARAM, LPARAM)>& fn);
    BOOL IsHolding() const { return m_bHolding; }

private:
    struct Message {
        WPARAM wParam;
        LPARAM lParam;
    };
    BOOL m_bHolding;
    std::deque<Message> m_messages;
};
