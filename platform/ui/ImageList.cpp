#include "platform/ui/ImageList.h"

int32_t TImageList::Add(const QIcon& icon) {
    FImages.push_back(icon);
    return Count() - 1;
}

QIcon TImageList::Icon(int32_t index) const {
    if (index < 0 || index >= Count())
        return QIcon();
    return FImages.at(index);
}
