#include "grabbing/uAtomicFile.h"

#include <QSaveFile>

TPictureWriteResult WriteFileAtomically(const QString& fileName, const QByteArray& bytes) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return TPictureWriteResult::Failure(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return TPictureWriteResult::Failure(error);
    }
    if (!file.commit())
        return TPictureWriteResult::Failure(file.errorString());
    return TPictureWriteResult::Success();
}
