#include "scripting/FileSearch.h"

#include <QDir>

namespace kelvara::script {

QString FileSearch::First(const QString& folder, const QString& mask) {
    Close();
    FFolder = folder;
    if (!FFolder.endsWith(u'/'))
        FFolder += u'/';
    const QDir dir(FFolder);
    if (dir.exists())
        FNames = dir.entryList(
            {mask.isEmpty() ? QStringLiteral("*") : mask},
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    FRunning = true;
    return Next();
}

QString FileSearch::Next() {
    if (!FRunning)
        return QString();
    if (FNext >= FNames.size()) {
        Close();
        return QString();
    }
    return FFolder + FNames.at(FNext++);
}

void FileSearch::Close() {
    FNames.clear();
    FNext = 0;
    FRunning = false;
}

} // namespace kelvara::script
