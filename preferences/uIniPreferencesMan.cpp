#include "preferences/uIniPreferencesMan.h"

#include "platform/os/AtomicFile.h"
#include "platform/registry/TextDecoding.h"
#include "preferences/IniValues.h"

#include <QFile>
#include <QLocale>

namespace {
bool HasLineBreak(const QString& text) {
    return text.contains(u'\r') || text.contains(u'\n');
}
} // namespace

TIniPreferencesMan::TIniPreferencesMan(const QString& filePath, bool canCreate) : FFile(filePath) {
    (void)canCreate;
    QByteArray bytes;
    if (FFile.isEmpty() || !QFile::exists(FFile))
        FLines.append(QStringLiteral("[]"));
    else if (AtomicFile::Read(FFile, bytes))
        FLines = ParseLines(bytes);
    else
        FUnreadable = true;
    SelectSection(QString());
}

TIniPreferencesMan::~TIniPreferencesMan() {
    Save();
}

void TIniPreferencesMan::Load(const QByteArray& bytes) {
    FLines = ParseLines(bytes);
    FUnreadable = false;
    SelectSection(QString());
}

bool TIniPreferencesMan::Save() {
    if (FFile.isEmpty() || FUnreadable)
        return false;
    return AtomicFile::Write(FFile, FormatLines(FLines));
}

QStringList TIniPreferencesMan::ParseLines(const QByteArray& bytes) {
    return TextDecoding::SplitLines(TextDecoding::Decode(bytes));
}

QByteArray TIniPreferencesMan::FormatLines(const QStringList& lines) {
    QByteArray bytes("\xFF\xFE", 2);
    for (const QString& line : lines) {
        const QString text = line + QStringLiteral("\r\n");
        for (const QChar c : text) {
            bytes.append(char(c.unicode() & 0xFF));
            bytes.append(char(c.unicode() >> 8));
        }
    }
    return bytes;
}

bool TIniPreferencesMan::IsHeader(const QString& line) {
    return line.startsWith(u'[') && line.endsWith(u']');
}

QString TIniPreferencesMan::NameOf(const QString& line, bool& hasName) {
    const qsizetype eq = line.indexOf(u'=');
    hasName = eq >= 0;
    return hasName ? line.left(eq) : QString();
}

// A name that reads back as itself: no "=", no line break, and not the start of a header.
bool TIniPreferencesMan::IsWritableName(const QString& name) {
    return !name.contains(u'=') && !HasLineBreak(name) && !name.startsWith(u'[');
}

void TIniPreferencesMan::SelectSection(const QString& path) {
    FPath = path;
    const QString header = u'[' + path + u']';
    for (qsizetype i = 0; i < FLines.size(); ++i)
        if (FLines[i].compare(header, Qt::CaseInsensitive) == 0) {
            FSectionIndex = i;
            return;
        }
    FLines.append(QString());
    FLines.append(header);
    FSectionIndex = FLines.size() - 1;
}

qsizetype TIniPreferencesMan::ScanEnd() const {
    qsizetype i = FSectionIndex + 1;
    while (i < FLines.size() && !FLines[i].isEmpty() && !IsHeader(FLines[i]))
        ++i;
    return i;
}

qsizetype TIniPreferencesMan::FindValue(const QString& name) const {
    const qsizetype end = ScanEnd();
    for (qsizetype i = FSectionIndex + 1; i < end; ++i) {
        bool hasName = false;
        const QString n = NameOf(FLines[i], hasName);
        if (hasName && n.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool TIniPreferencesMan::OpenKey(const QString& name, bool canCreate) {
    (void)canCreate; // a missing section is created by any attempt to open it
    if (HasLineBreak(name))
        return false;
    SelectSection(FPath.isEmpty() ? name : FPath + u'\\' + name);
    return true;
}

bool TIniPreferencesMan::CloseKey() {
    const qsizetype sep = FPath.lastIndexOf(u'\\');
    SelectSection(sep < 0 ? QString() : FPath.left(sep));
    return true;
}

bool TIniPreferencesMan::ReadValueNames(QStringList& list) {
    const qsizetype end = ScanEnd();
    for (qsizetype i = FSectionIndex + 1; i < end; ++i) {
        bool hasName = false;
        const QString n = NameOf(FLines[i], hasName);
        if (hasName)
            list.append(n);
    }
    return true;
}

bool TIniPreferencesMan::ReadSubKeys(QStringList& list) {
    const QString prefix = u'[' + FPath + u'\\';
    for (const QString& line : FLines)
        if (line.startsWith(prefix, Qt::CaseInsensitive) && line.endsWith(u']'))
            list.append(line.mid(prefix.size(), line.size() - prefix.size() - 1));
    return true;
}

bool TIniPreferencesMan::WriteString(const QString& name, const QString& text) {
    if (!IsWritableName(name) || HasLineBreak(text))
        return false;
    const QString line = name + u'=' + text;
    const qsizetype found = FindValue(name);
    if (found >= 0)
        FLines[found] = line;
    else
        FLines.insert(ScanEnd(), line);
    return true;
}

bool TIniPreferencesMan::ReadString(const QString& name, QString& text) {
    const qsizetype found = FindValue(name);
    if (found < 0)
        return false;
    text = FLines[found].mid(FLines[found].indexOf(u'=') + 1);
    return true;
}

bool TIniPreferencesMan::DeleteValue(const QString& name) {
    const qsizetype found = FindValue(name);
    if (found < 0)
        return false;
    FLines.removeAt(found);
    return true;
}

bool TIniPreferencesMan::WriteBool(const QString& name, bool value) {
    return WriteString(name, value ? QStringLiteral("True") : QStringLiteral("False"));
}

bool TIniPreferencesMan::ReadBool(const QString& name, bool& value) {
    QString text;
    if (!ReadString(name, text))
        return false;
    if (text == u"True")
        value = true;
    else if (text == u"False")
        value = false;
    else
        return false;
    return true;
}

bool TIniPreferencesMan::WriteInteger(const QString& name, int32_t value) {
    return WriteString(name, QString::number(value));
}

bool TIniPreferencesMan::ReadInteger(const QString& name, int32_t& value) {
    QString text;
    if (!ReadString(name, text))
        return false;
    if (!IniValues::ParseInteger(text, value))
        value = 0;
    return true;
}

bool TIniPreferencesMan::WriteFloat(const QString& name, double value) {
    return WriteString(name, IniValues::FormatFloat(value, QLocale().decimalPoint().front()));
}

bool TIniPreferencesMan::ReadFloat(const QString& name, double& value) {
    QString text;
    if (!ReadString(name, text))
        return false;
    if (!IniValues::ParseFloat(text, QLocale().decimalPoint().front(), value))
        value = 0.0;
    return true;
}

bool DeleteIniFile(const QString& folder, const QString& shortName) {
    const QString path = folder + shortName + QStringLiteral(".ini");
    if (!QFile::exists(path))
        return true;
    QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner | QFile::ReadOwner);
    return QFile::remove(path);
}
