#pragma once
// How the filters that read files name and open them.
//
// Names. A Linux file name is bytes, which need not be UTF-8; the interfaces carry names as
// UTF-16 text. A byte that is not part of valid UTF-8 travels as the lone surrogate U+DC80 ..
// U+DCFF (U+DC00 plus the byte), which no decoded text contains, so that every name goes from
// bytes to text and back unchanged. Any other name is plain UTF-8, as Qt's own file functions
// encode it. Whoever turns a file name from the system (argv, a folder listing) into text for
// the filters uses PathFromBytes; the filters open PathBytes.
//
// Opening. Only regular files are read. A pipe, a device, a socket or a folder is refused
// before anything is opened (opening a pipe waits for a writer; a device may act when opened),
// and the file is opened so that the open itself cannot wait either, should the name change
// between the check and the open.
#include "platform/com/HResult.h"

#include <QByteArray>
#include <QString>

// The bytes a path names (see above).
QByteArray PathBytes(const QString& path);
// The text of a path's bytes, from which PathBytes gives the same bytes back.
QString PathFromBytes(const QByteArray& bytes);

// Opens a regular file for reading; *fd receives the descriptor (the caller closes it), -1 on
// failure. HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) or (ERROR_PATH_NOT_FOUND) when the path
// leads nowhere, E_ACCESSDENIED when the file may not be read, KELVARA_E_NOT_REGULAR_FILE for a
// pipe, device, socket or folder, E_FAIL for other system errors.
HRESULT OpenRegularFile(const QString& path, int* fd);
