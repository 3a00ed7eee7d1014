#pragma once
// Moving a file or folder to the desktop's trash (what the program's scripts call the recycle
// bin), without any question or progress display.
#include <QString>

namespace kelvara::os {

// Clears the file's read-only protection (so that the desktop may move it), then moves it to
// the trash. True on success; false with a reason in *error otherwise (the file is then where it
// was, with its protection cleared).
bool MoveFileToTrash(const QString& path, QString* error = nullptr);

} // namespace kelvara::os
