#include "scripting/FileNames.h"

namespace kelvara::script {

namespace {

// Index just after the last separator (0 when there is none).
qsizetype NameStart(const QString& path) {
    return path.lastIndexOf(u'/') + 1;
}

// Index of the extension's dot, or -1.
qsizetype ExtensionDot(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot >= NameStart(path) ? dot : -1;
}

} // namespace

QString ExtractFileName(const QString& path) {
    return path.mid(NameStart(path));
}

QString ExtractFilePath(const QString& path) {
    return path.left(NameStart(path));
}

QString ExtractFileExt(const QString& path) {
    const qsizetype dot = ExtensionDot(path);
    return dot < 0 ? QString() : path.mid(dot);
}

QString ChangeFileExt(const QString& path, const QString& ext) {
    const qsizetype dot = ExtensionDot(path);
    return (dot < 0 ? path : path.left(dot)) + ext;
}

} // namespace kelvara::script
