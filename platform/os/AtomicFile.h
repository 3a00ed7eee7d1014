#pragma once
// Replacing a file safely: the new content goes to a temporary file in the same folder, is flushed
// to the disk and renamed over the old file, so a crash or a full disk never leaves a truncated
// file in place of a good one. A failed write leaves the old file as it was.
#include <QByteArray>
#include <QString>

namespace AtomicFile {

// True when the whole content is in place under the path.
bool Write(const QString& path, const QByteArray& content, QString* error = nullptr);

// The whole file; false when it does not exist or cannot be read.
bool Read(const QString& path, QByteArray& content);

} // namespace AtomicFile
