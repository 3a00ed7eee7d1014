#pragma once
// A file named by the bytes of its name (a command-line argument), looked at without opening
// anything but a regular file, and held open while it is read.
//
// The toolkit and the media framework take file names as QStrings and encode them back with
// QFile::encodeName, which loses the bytes of a name that is not valid in the locale's encoding
// (a name with byte 0xFF on a UTF-8 system). Path() gives a name that opens the same file in
// every case: the decoded name when it encodes back to the same bytes; otherwise, when only the
// folders' names are the trouble, the file's name in the process's own link to its folder
// (/proc/self/fd/N/name, so that names relative to the file's folder still work), else the link
// to the file itself (/proc/self/fd/N).
//
// Only a regular file is opened, and without waiting: a FIFO, a device or a socket is refused
// from its status, so that looking at it never blocks or has an effect on the device.
#include <QByteArray>
#include <QString>

class TNativeFile {
public:
    enum class TKind {
        Regular,    // opened; Path() names it
        Missing,    // no such file (or a folder on the way is missing)
        Folder,     // a folder
        Other,      // a FIFO, a device, a socket: not a regular file
        Unreadable, // exists but cannot be opened or looked at; Error() says why
    };

    explicit TNativeFile(QByteArray name);
    ~TNativeFile();
    TNativeFile(const TNativeFile&) = delete;
    TNativeFile& operator=(const TNativeFile&) = delete;

    TKind Kind() const { return FKind; }
    // The errno of the failed look or open (0 when there was none).
    int Error() const { return FError; }
    const QByteArray& NativeName() const { return FName; }
    // The name for messages and reports (replacement characters where bytes are not text).
    QString DisplayName() const;
    // A name that opens this file with QFile and the media framework; empty unless Regular.
    QString Path() const;

private:
    QByteArray FName;
    TKind FKind = TKind::Missing;
    int FError = 0;
    int FDescriptor = -1;
    int FFolder = -1; // held when only the folders' names do not decode
};
