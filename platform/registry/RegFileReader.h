#pragma once
// Reads the .reg text form: a header line ("Windows Registry Editor Version 5.00" or "REGEDIT4"),
// then key lines ([HKEY_CURRENT_USER\...], [-...] deletes a key and its sub-keys) each followed
// by value lines ("name"=..., @=... for the default value): "text", dword:hex, hex:bytes,
// hex(type):bytes, or - to delete the value. Lines starting with ";" are comments; a line ending
// in "\" continues on the next. Only keys of the user's hive can be named.
//
// The reader is strict: every line it does not understand is an error, reported with its line
// number, so that a caller can refuse a damaged file as a whole.
#include "platform/registry/RegOperation.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

struct RegParseResult {
    RegOperations Operations; // the file's changes in file order (lines with errors left out)
    QStringList Errors;       // "line N: what is wrong"
    bool Ok() const { return Errors.isEmpty(); }
};

class RegFileReader {
public:
    // Bytes in any encoding that TextDecoding recognises.
    static RegParseResult Parse(const QByteArray& bytes);
    static RegParseResult ParseText(const QString& text);
};
