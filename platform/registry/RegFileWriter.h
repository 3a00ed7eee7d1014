#pragma once
// Writes a registry tree in the .reg text form that RegFileReader reads: the header "Windows
// Registry Editor Version 5.00", then every key below the root in name order as
// [HKEY_CURRENT_USER\...] followed by its values and an empty line. Texts that the quoted form
// cannot carry (line breaks, zero characters, no terminating zero, broken UTF-16) are written as
// hex(1) bytes so that every value reads back unchanged. The result is UTF-8 with LF line ends.
#include "platform/registry/RegKey.h"

#include <QByteArray>
#include <QString>

class RegFileWriter {
public:
    static QByteArray Format(const RegKey& root);
    // One value line without its line end, e.g. "Digits"=dword:00000003.
    static QString FormatValue(const QString& name, const RegValue& value);
};
