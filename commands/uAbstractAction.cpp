#include "commands/uAbstractAction.h"

#include "commands/uSuperAction.h"

void TAbstractAction::SetImageIndex(int32_t index) {
    const bool changed = index != ImageIndex();
    TCustomAbstractAction::SetImageIndex(index);
    if (changed && ActionList() && OnImageChanged)
        OnImageChanged(ActionList()->Images(), index);
}
