#pragma once
// Reading text files whose encoding is told by a byte-order mark, or guessed: UTF-16 little- or
// big-endian and UTF-8 by their marks; without a mark UTF-8 when the bytes are valid UTF-8, else
// Latin-1 (the Linux reading of "the system's 8-bit code page"). Shared by the INI and .reg
// readers.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace TextDecoding {

enum class Encoding { Utf16Le, Utf16Be, Utf8Bom, Utf8, Latin1 };

Encoding Detect(const QByteArray& bytes);

// The text without its byte-order mark. A UTF-16 text with an odd number of bytes loses the
// last byte; malformed UTF-8 after a UTF-8 mark becomes replacement characters.
QString Decode(const QByteArray& bytes);

// Lines split at CR LF, LF or a lone CR. A final line break ends the last line and does not
// start an empty one.
QStringList SplitLines(const QString& text);

} // namespace TextDecoding
