#pragma once
// Shows a file in the desktop's file manager: its folder opened with the file selected, through
// the freedesktop FileManager1 service on the session bus; where no file manager offers it, the
// folder is opened with the desktop's default handler. Best effort: false when neither worked.
//
// Thread contract: GUI thread (the desktop services of Qt).
#include <QString>

namespace kelvara::os {

bool RevealFile(const QString& path);

} // namespace kelvara::os
