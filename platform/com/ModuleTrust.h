#pragma once
// Whether a module file may be loaded: loading code from a folder runs whatever is there, so the
// file and every folder on its path (up to the root) must be safe from other users. Refused:
//   - a file or folder owned by anybody but root or the user running the program;
//   - a file or folder that users other than its owner and root can write: writable by all
//     (except a folder with the sticky bit, such as /tmp, where nobody can replace another
//     user's entries), or writable by a group other than root's and the owner's own private
//     group (a group of the owner's name with no other members).
// Symbolic links are followed: the checks apply to the real path.
#include <QString>

// True when the module at `path` may be loaded; otherwise false with `why` set to a message
// that names the file or folder and the reason.
bool ModulePathIsTrusted(const QString& path, QString* why);
