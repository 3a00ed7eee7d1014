#pragma once
// A registry value: its type and its raw bytes, as the registry keeps them. Texts are stored as
// UTF-16 little-endian with a terminating zero character, 32-bit numbers as 4 little-endian bytes.
#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QString>

enum TRegType : uint32_t {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_DWORD_BIG_ENDIAN = 5,
    REG_LINK = 6,
    REG_MULTI_SZ = 7,
    REG_QWORD = 11,
};

struct RegValue {
    uint32_t Type = REG_NONE;
    QByteArray Data;

    static RegValue FromString(const QString& text, uint32_t type = REG_SZ);
    static RegValue FromDword(uint32_t value);
    static RegValue FromBinary(const QByteArray& bytes);

    // The characters of a string-typed value (REG_SZ, REG_EXPAND_SZ) without the terminating
    // zero; nothing for other types.
    std::optional<QString> AsString() const;
    // The number held in exactly four bytes, whatever the type.
    std::optional<uint32_t> AsDword() const;

    friend bool operator==(const RegValue&, const RegValue&) = default;
};

// The UTF-16 little-endian bytes as characters (an odd last byte is ignored).
QString Utf16LeToString(const QByteArray& bytes);
// The characters as UTF-16 little-endian bytes, without a terminating zero.
QByteArray StringToUtf16Le(const QString& text);
