#pragma once
// Small types shared by the media interfaces: wide strings, pin directions, filter states.
#include "platform/com/ComTypes.h"
#include "platform/com/Guid.h"
#include "platform/com/HResult.h"
#include "platform/graph/FormatBlocks.h"

#include <QString>

// Wide (UTF-16) text as the interfaces take it.
using WCHAR = char16_t;
using LPCWSTR = const WCHAR*;
using LPWSTR = WCHAR*;
using LONG_PTR = intptr_t;

inline constexpr int MAX_PIN_NAME = 128;
inline constexpr int MAX_FILTER_NAME = 128;

// A QString as the interfaces take it; valid while the string lives and is not changed.
inline LPCWSTR WStr(const QString& text) {
    return reinterpret_cast<LPCWSTR>(text.utf16());
}
// Wide text from the interfaces; empty for null.
inline QString FromWStr(LPCWSTR text) {
    return text ? QString::fromUtf16(text) : QString();
}
// Copies text into a fixed name buffer of `capacity` characters, cutting it to capacity - 1.
void CopyToNameBuffer(const QString& text, WCHAR* buffer, int capacity);

enum PIN_DIRECTION { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 };

enum FILTER_STATE { State_Stopped = 0, State_Paused = 1, State_Running = 2 };
using OAFilterState = LONG;

// Infinite wait for GetState.
inline constexpr DWORD INFINITE = 0xFFFFFFFF;
