#include "platform/ui/ShortCuts.h"

#include <array>
#include <optional>

namespace {

struct TKeyName {
    uint8_t Vk;
    const char* Name;
    Qt::Key Key;
    bool Keypad;
};

// Named keys other than letters, digits and function keys. The first entry of a code is the name
// that ShortCutToText gives; the later ones are other spellings that TextToShortCut reads.
constexpr TKeyName KeyNames[] = {
    {VK_BACK, "BkSp", Qt::Key_Backspace, false},
    {VK_BACK, "Backspace", Qt::Key_Backspace, false},
    {VK_TAB, "Tab", Qt::Key_Tab, false},
    {VK_RETURN, "Enter", Qt::Key_Return, false},
    {VK_RETURN, "Return", Qt::Key_Return, false},
    {VK_PAUSE, "Pause", Qt::Key_Pause, false},
    {VK_ESCAPE, "Esc", Qt::Key_Escape, false},
    {VK_ESCAPE, "Escape", Qt::Key_Escape, false},
    {VK_SPACE, "Space", Qt::Key_Space, false},
    {VK_PRIOR, "PgUp", Qt::Key_PageUp, false},
    {VK_PRIOR, "PageUp", Qt::Key_PageUp, false},
    {VK_PRIOR, "Page Up", Qt::Key_PageUp, false},
    {VK_NEXT, "PgDn", Qt::Key_PageDown, false},
    {VK_NEXT, "PageDown", Qt::Key_PageDown, false},
    {VK_NEXT, "Page Down", Qt::Key_PageDown, false},
    {VK_END, "End", Qt::Key_End, false},
    {VK_HOME, "Home", Qt::Key_Home, false},
    {VK_LEFT, "Left", Qt::Key_Left, false},
    {VK_UP, "Up", Qt::Key_Up, false},
    {VK_RIGHT, "Right", Qt::Key_Right, false},
    {VK_DOWN, "Down", Qt::Key_Down, false},
    {VK_SNAPSHOT, "PrtSc", Qt::Key_Print, false},
    {VK_INSERT, "Ins", Qt::Key_Insert, false},
    {VK_INSERT, "Insert", Qt::Key_Insert, false},
    {VK_DELETE, "Del", Qt::Key_Delete, false},
    {VK_DELETE, "Delete", Qt::Key_Delete, false},
    {VK_MULTIPLY, "Num *", Qt::Key_Asterisk, true},
    {VK_ADD, "Num +", Qt::Key_Plus, true},
    {VK_SUBTRACT, "Num -", Qt::Key_Minus, true},
    {VK_DECIMAL, "Num Del", Qt::Key_Period, true},
    {VK_DECIMAL, "Num .", Qt::Key_Period, true},
    {VK_DIVIDE, "Num /", Qt::Key_Slash, true},
    {VK_OEM_1, ";", Qt::Key_Semicolon, false},
    {VK_OEM_PLUS, "=", Qt::Key_Equal, false},
    {VK_OEM_COMMA, ",", Qt::Key_Comma, false},
    {VK_OEM_MINUS, "-", Qt::Key_Minus, false},
    {VK_OEM_PERIOD, ".", Qt::Key_Period, false},
    {VK_OEM_2, "/", Qt::Key_Slash, false},
    {VK_OEM_3, "`", Qt::Key_QuoteLeft, false},
    {VK_OEM_4, "[", Qt::Key_BracketLeft, false},
    {VK_OEM_5, "\\", Qt::Key_Backslash, false},
    {VK_OEM_6, "]", Qt::Key_BracketRight, false},
    {VK_OEM_7, "'", Qt::Key_Apostrophe, false},
};

struct TKey {
    Qt::Key Key;
    bool Keypad;
};

QString KeyName(uint8_t vk) {
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return QString(QChar(vk));
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9)
        return QStringLiteral("Num %1").arg(vk - VK_NUMPAD0);
    if (vk >= VK_F1 && vk <= VK_F24)
        return QStringLiteral("F%1").arg(vk - VK_F1 + 1);
    for (const TKeyName& k : KeyNames)
        if (k.Vk == vk)
            return QString::fromLatin1(k.Name);
    return {};
}

std::optional<uint8_t> KeyCode(const QString& name) {
    const QString upper = name.toUpper();
    if (upper.size() == 1) {
        const char16_t c = upper.at(0).unicode();
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))
            return uint8_t(c);
    }
    for (const TKeyName& k : KeyNames)
        if (name.compare(QLatin1String(k.Name), Qt::CaseInsensitive) == 0)
            return k.Vk;
    bool ok = false;
    if (upper.startsWith(QLatin1String("NUM ")) && upper.size() == 5) {
        const int digit = upper.mid(4).toInt(&ok);
        if (ok)
            return uint8_t(VK_NUMPAD0 + digit);
    }
    if (upper.startsWith(QLatin1Char('F')) && upper.size() <= 3) {
        const int n = upper.mid(1).toInt(&ok);
        if (ok && n >= 1 && n <= 24 && !upper.mid(1).startsWith(QLatin1Char('0')))
            return uint8_t(VK_F1 + n - 1);
    }
    return std::nullopt;
}

std::optional<TKey> QtKeyOf(uint8_t vk) {
    if (vk >= '0' && vk <= '9')
        return TKey{Qt::Key(Qt::Key_0 + (vk - '0')), false};
    if (vk >= 'A' && vk <= 'Z')
        return TKey{Qt::Key(Qt::Key_A + (vk - 'A')), false};
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9)
        return TKey{Qt::Key(Qt::Key_0 + (vk - VK_NUMPAD0)), true};
    if (vk >= VK_F1 && vk <= VK_F24)
        return TKey{Qt::Key(Qt::Key_F1 + (vk - VK_F1)), false};
    for (const TKeyName& k : KeyNames)
        if (k.Vk == vk)
            return TKey{k.Key, k.Keypad};
    return std::nullopt;
}

std::optional<uint8_t> VirtualKeyOf(Qt::Key key, bool keypad) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return uint8_t((keypad ? int(VK_NUMPAD0) : int('0')) + (key - Qt::Key_0));
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return uint8_t('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return uint8_t(VK_F1 + (key - Qt::Key_F1));
    if (key == Qt::Key_Enter)
        return VK_RETURN;
    for (const TKeyName& k : KeyNames)
        if (k.Key == key && k.Keypad == keypad)
            return k.Vk;
    return std::nullopt;
}

struct TModifierText {
    TShortCut Flag;
    const char* Text;
};

constexpr std::array<TModifierText, 3> Modifiers = {
    TModifierText{scShift, "Shift+"}, {scCtrl, "Ctrl+"}, {scAlt, "Alt+"}};

} // namespace

QString ShortCutToText(TShortCut shortCut) {
    const QString name = KeyName(uint8_t(shortCut & 0xFF));
    if (name.isEmpty())
        return {};
    QString text;
    for (const TModifierText& m : Modifiers)
        if (shortCut & m.Flag)
            text += QLatin1String(m.Text);
    return text + name;
}

TShortCut TextToShortCut(const QString& text) {
    TShortCut modifiers = 0;
    QString rest = text.trimmed();
    for (bool found = true; found && rest.size() > 1;) {
        found = false;
        for (const TModifierText& m : Modifiers) {
            const QLatin1String prefix(m.Text);
            if (rest.startsWith(prefix, Qt::CaseInsensitive) && rest.size() > prefix.size()) {
                modifiers |= m.Flag;
                rest = rest.mid(prefix.size());
                found = true;
            }
        }
    }
    const std::optional<uint8_t> key = KeyCode(rest);
    return key ? ShortCut(*key, modifiers) : 0;
}

QKeySequence ShortCutToKeySequence(TShortCut shortCut) {
    const std::optional<TKey> key = QtKeyOf(uint8_t(shortCut & 0xFF));
    if (!key)
        return {};
    Qt::KeyboardModifiers mods;
    if (shortCut & scShift)
        mods |= Qt::ShiftModifier;
    if (shortCut & scCtrl)
        mods |= Qt::ControlModifier;
    if (shortCut & scAlt)
        mods |= Qt::AltModifier;
    if (key->Keypad)
        mods |= Qt::KeypadModifier;
    return QKeySequence(QKeyCombination(mods, key->Key));
}

TShortCut KeySequenceToShortCut(const QKeySequence& sequence) {
    if (sequence.isEmpty())
        return 0;
    const QKeyCombination combination = sequence[0];
    const Qt::KeyboardModifiers mods = combination.keyboardModifiers();
    const std::optional<uint8_t> vk =
        VirtualKeyOf(combination.key(), mods.testFlag(Qt::KeypadModifier));
    if (!vk)
        return 0;
    TShortCut sc = *vk;
    if (mods.testFlag(Qt::ShiftModifier))
        sc |= scShift;
    if (mods.testFlag(Qt::ControlModifier))
        sc |= scCtrl;
    if (mods.testFlag(Qt::AltModifier))
        sc |= scAlt;
    return sc;
}
