#pragma once
// Reading script and include files: UTF-8 by default, UTF-16 or UTF-32 when the file starts with
// a byte-order mark, Latin-1 when the bytes are not valid UTF-8 (older 8-bit scripts).
#include <QString>

namespace kelvara::script {

// Largest script or include file read, in bytes.
constexpr qint64 kMaxSourceFileBytes = 16 * 1024 * 1024;

// Reads the file into text; false with a reason in error when it cannot.
bool ReadSourceFile(const QString& path, QString& text, QString& error);

// Decodes the bytes of a script file as ReadSourceFile does.
QString DecodeSourceBytes(const QByteArray& bytes);

} // namespace kelvara::script
