#pragma once
// One change of a registry tree: what a line of a .reg file asks for, and what the hive keeps
// in its journal until the change is on disk.
#include "platform/registry/RegKey.h"
#include "platform/registry/RegValue.h"

#include <vector>

#include <QString>
#include <QStringList>

struct RegOperation {
    enum Kind { CreateKey, DeleteTree, SetValue, DeleteValue };

    Kind Op = CreateKey;
    QStringList Key; // names below the user's hive
    QString Name;    // value name (SetValue, DeleteValue)
    RegValue Value;  // SetValue

    // Applies the change to the tree whose root is the user's hive. A value is set in a key that
    // is created when missing; deleting what does not exist changes nothing. The root itself is
    // never deleted. Returns whether the tree changed.
    bool ApplyTo(RegKey& root) const;
};

using RegOperations = std::vector<RegOperation>;
