#include "platform/registry/RegPath.h"

namespace RegPath {

namespace {
constexpr qsizetype MaxKeyName = 255;
constexpr qsizetype MaxValueName = 16383;

bool HasForbiddenCharacter(const QString& name) {
    for (const QChar c : name)
        if (c == u'\r' || c == u'\n' || c == QChar(0))
            return true;
    return false;
}
} // namespace

bool IsValidKeyName(const QString& name) {
    return !name.isEmpty() && name.size() <= MaxKeyName && !name.contains(u'\\') &&
           !HasForbiddenCharacter(name) && name.isValidUtf16();
}

bool IsValidValueName(const QString& name) {
    return name.size() <= MaxValueName && !HasForbiddenCharacter(name) && name.isValidUtf16();
}

std::optional<QStringList> Split(const QString& path) {
    qsizetype begin = 0, end = path.size();
    while (begin < end && path[begin] == u'\\')
        ++begin;
    while (end > begin && path[end - 1] == u'\\')
        --end;
    if (begin == end)
        return QStringList();
    QStringList names = path.mid(begin, end - begin).split(u'\\');
    for (const QString& name : names)
        if (!IsValidKeyName(name))
            return std::nullopt;
    return names;
}

std::optional<QStringList> SplitRooted(const QString& path) {
    const qsizetype sep = path.indexOf(u'\\');
    const QString root = sep < 0 ? path : path.left(sep);
    if (root.compare(u"HKEY_CURRENT_USER", Qt::CaseInsensitive) != 0 &&
        root.compare(u"HKCU", Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return sep < 0 ? QStringList() : Split(path.mid(sep + 1));
}

QString Join(const QStringList& names) {
    return names.join(u'\\');
}

} // namespace RegPath
