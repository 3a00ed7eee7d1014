#include "grabbing/uImageNaming.h"

QString ComputeNameRoot(const TImageNaming& naming, const QString& videoPath) {
    if (naming.NameSource == 0)
        return naming.DefaultRoot;
    QString name = videoPath.mid(videoPath.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    if (naming.LimitLength && naming.RootLength >= 0 && name.size() > naming.RootLength)
        name.truncate(naming.RootLength);
    return name;
}

QString FormatImageNumber(int64_t number, int digits) {
    QString text = QString::number(number);
    if (text.size() < digits)
        text.prepend(QString(digits - text.size(), QLatin1Char('0')));
    return text;
}

QString FileNameTimeStamp(const QString& positionText) {
    QString text = positionText;
    return text.replace(QLatin1Char(':'), QLatin1Char('.'));
}

QString BuildImageName(const TImageNaming& naming, const QString& videoPath,
                       const QString& positionText, const QString& numberText) {
    QString folder = naming.Folder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    const QString root = ComputeNameRoot(naming, videoPath);
    QString name;
    if (naming.Addition == 0)
        name = folder + root + QLatin1Char('_') + FileNameTimeStamp(positionText);
    else if (naming.Addition == 1)
        name = folder + root + QLatin1Char('_') + numberText;
    else
        return QString();
    return name + (naming.Extension != 0 ? QStringLiteral(".jpg") : QStringLiteral(".bmp"));
}
