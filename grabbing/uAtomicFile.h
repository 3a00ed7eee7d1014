#pragma once
// Writes a whole file through a temporary file in the same folder that is renamed over the
// target once every byte is on disk: a failed or interrupted write never leaves a truncated file
// in place of a good one, and an existing file stays untouched until the new one is complete.
// The folder is never created.
#include "grabbing/uPictureWriteResult.h"

#include <QByteArray>
#include <QString>

TPictureWriteResult WriteFileAtomically(const QString& fileName, const QByteArray& bytes);
