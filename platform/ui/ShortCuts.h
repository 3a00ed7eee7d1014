#pragma once
// 16-bit shortcut codes (virtual-key code in the low byte, plus scShift, scCtrl, scAlt), their
// texts ("Ctrl+O", "F12", "Alt+F10", "Shift+Ctrl+Home", "Num +") and their mapping both ways to
// Qt key sequences, so that a QAction shows and fires them.
#include "platform/ui/Types.h"

#include <QKeySequence>
#include <QString>

// Virtual-key codes of the keys that shortcuts use.
enum TVirtualKey : uint8_t {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_PAUSE = 0x13,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_SNAPSHOT = 0x2C,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_NUMPAD0 = 0x60,
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70,
    VK_F24 = 0x87,
    VK_OEM_1 = 0xBA,
    VK_OEM_PLUS = 0xBB,
    VK_OEM_COMMA = 0xBC,
    VK_OEM_MINUS = 0xBD,
    VK_OEM_PERIOD = 0xBE,
    VK_OEM_2 = 0xBF,
    VK_OEM_3 = 0xC0,
    VK_OEM_4 = 0xDB,
    VK_OEM_5 = 0xDC,
    VK_OEM_6 = 0xDD,
    VK_OEM_7 = 0xDE,
};

// The shortcut of a key ('A', VK_F12, ...) with modifiers.
constexpr TShortCut ShortCut(uint8_t key, TShortCut modifiers = 0) {
    return TShortCut(key | modifiers);
}

// "Shift+", "Ctrl+", "Alt+" (in that order) and the key's name; empty for 0 or an unnamed key.
QString ShortCutToText(TShortCut shortCut);
// The modifiers in any order and letter case, then a key name ("ctrl+shift+pgdn" and
// "Shift+Ctrl+PageDown" both read); 0 when the text names no key.
TShortCut TextToShortCut(const QString& text);

// An empty sequence for 0 or a key that Qt cannot express.
QKeySequence ShortCutToKeySequence(TShortCut shortCut);
// The first key of the sequence; 0 when it has no shortcut code.
TShortCut KeySequenceToShortCut(const QKeySequence& sequence);
