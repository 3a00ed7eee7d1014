#pragma once
// Window messages of the program's hidden message windows: a 32-bit message number, a WPARAM-like
// unsigned and an LPARAM-like signed pointer-size value (often the address of a record), and the
// result that the handler gives back to a sender. The program's own messages start at 0x2400.
#include <cstdint>
#include <functional>

using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

// The first number of the program's private messages.
constexpr UINT WM_KELVARA = 0x2400;

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// What a window does with a message it does not handle itself: nothing, result 0.
inline void DefWindowProc(TMessage& message) {
    message.Result = 0;
}

// A notification without arguments but its sender (which may be none).
class QObject;
using TNotifyEvent = std::function<void(QObject* sender)>;
