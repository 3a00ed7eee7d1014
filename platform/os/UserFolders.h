#pragma once
// The user's folders as the desktop names them (the XDG user directories, through Qt), each only
// when it exists: the program never creates a folder, so a default that does not exist would
// make every write fail.
#include <QString>

namespace kelvara::os {

// The pictures folder, else the documents folder, else the home folder.
QString DefaultPicturesFolder();
// The documents folder, else the home folder.
QString DefaultDocumentsFolder();

} // namespace kelvara::os
