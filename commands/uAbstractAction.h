#pragma once
// The base of the value kinds: TCustomAbstractAction with OnImageChanged, raised whenever
// ImageIndex changes to a different value while the action belongs to a list, so that image
// buttons bound to the action can redraw.
#include "commands/uCustomAbstractAction.h"

class TAbstractAction : public TCustomAbstractAction {
public:
    using TCustomAbstractAction::TCustomAbstractAction;

    void SetImageIndex(int32_t index) override;

    TImageChangedEvent OnImageChanged;
};
