#include "platform/registry/RegOperation.h"

bool RegOperation::ApplyTo(RegKey& root) const {
    switch (Op) {
    case CreateKey: {
        const bool existed = root.Find(Key) != nullptr;
        root.FindOrCreate(Key);
        return !existed;
    }
    case DeleteTree: {
        if (Key.isEmpty())
            return false;
        RegKey* parent = root.Find(Key.mid(0, Key.size() - 1));
        return parent && parent->RemoveChild(Key.back());
    }
    case SetValue: {
        RegKey& key = root.FindOrCreate(Key);
        const RegValue* old = key.Value(Name);
        if (old && *old == Value)
            return false;
        key.SetValue(Name, Value);
        return true;
    }
    case DeleteValue: {
        RegKey* key = root.Find(Key);
        return key && key->RemoveValue(Name);
    }
    }
    return false;
}
