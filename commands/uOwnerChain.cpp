#include "commands/uOwnerChain.h"

#include <QVariant>
#include <QWidget>

namespace {
const char* const OwnerRootProperty = "kelvaraOwnerRoot";
}

void MarkAsOwnerRoot(QObject* object) {
    if (object)
        object->setProperty(OwnerRootProperty, true);
}

bool IsOwnerRoot(const QObject* object) {
    if (!object)
        return false;
    if (object->isWidgetType() && static_cast<const QWidget*>(object)->isWindow())
        return true;
    return object->property(OwnerRootProperty).toBool();
}

QObject* FindOwnerRoot(QObject* owner) {
    QObject* last = owner;
    for (QObject* o = owner; o; o = o->parent()) {
        if (IsOwnerRoot(o))
            return o;
        last = o;
    }
    return last;
}
