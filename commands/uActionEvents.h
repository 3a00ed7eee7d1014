#pragma once
// The event types of typed actions and action lists. A prepare-type event supplies or changes a
// value and returns a bool (false cancels OnPrepare; the result of OnDefault and BeforeSave is
// ignored); an apply-type event receives the value being applied.
#include "platform/ui/Font.h"
#include "platform/ui/Types.h"

#include <cstdint>
#include <functional>

#include <QString>

class IActionPreferences;
class TImageList;

template <class T>
using TPrepareEvent = std::function<bool(T& value)>;
template <class T>
using TApplyEvent = std::function<void(const T& value)>;

using TPrepareNopeEvent = std::function<bool()>;
using TApplyNopeEvent = std::function<void()>;
using TPrepareWideStringEvent = TPrepareEvent<QString>;
using TApplyWideStringEvent = TApplyEvent<QString>;
using TPrepareIntegerEvent = TPrepareEvent<int32_t>;
using TApplyIntegerEvent = TApplyEvent<int32_t>;
using TPrepareColorEvent = TPrepareEvent<TColor>;
using TApplyColorEvent = TApplyEvent<TColor>;
using TPrepareDoubleEvent = TPrepareEvent<double>;
using TApplyDoubleEvent = TApplyEvent<double>;
using TPreparePointEvent = TPrepareEvent<TPoint>;
using TApplyPointEvent = TApplyEvent<TPoint>;
using TPrepareBooleanEvent = TPrepareEvent<bool>;
using TApplyBooleanEvent = TApplyEvent<bool>;
using TPrepareRectEvent = TPrepareEvent<TRect>;
using TApplyRectEvent = TApplyEvent<TRect>;
using TPrepareFontEvent = TPrepareEvent<TFont>;
using TApplyFontEvent = TApplyEvent<TFont>;

// Raised when an action's ImageIndex changes while it belongs to a list.
using TImageChangedEvent = std::function<void(TImageList* images, int32_t imageIndex)>;

// Called after a list's actions have been loaded or saved; false marks the list's result failed.
using TListLoadEvent = std::function<bool(IActionPreferences& gp)>;
using TListSaveEvent = std::function<bool(IActionPreferences& gp)>;
