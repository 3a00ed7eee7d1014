#pragma once
// The INI store: the whole file held in memory as lines, written back when the store is destroyed.
//
// File form: UTF-16 little-endian with the byte-order mark FF FE, lines ending in CR LF (files in
// UTF-16 big-endian, UTF-8 with a mark, or without a mark, read too: valid UTF-8, else Latin-1).
// A section starts with its header "[" + path + "]", the path being the section names from the
// root joined by "\" ("[]" is the root, "[ShowForm\FormSave]" a sub-section); its values are the
// name=value lines that follow, up to the first empty line, the next header or the end of the
// file. Names and headers are compared without regard to letter case. A new section is appended
// at the end as an empty line and its header. A new file is the single line "[]".
//
// The file is replaced through a temporary file (AtomicFile), so a failed write keeps the old one.
// A file that exists but cannot be read is never replaced.
#include "preferences/uPreferencesMan.h"

#include <QString>
#include <QStringList>

class TIniPreferencesMan : public TPreferencesMan {
public:
    // Reads the file if it exists, then opens the root section. canCreate is accepted for the
    // symmetry with the registry store: a missing file is always started afresh. An empty path
    // gives a store that lives in memory only.
    TIniPreferencesMan(const QString& filePath, bool canCreate);
    ~TIniPreferencesMan() override; // writes the file

    bool ReadValueNames(QStringList& list) override;
    bool ReadSubKeys(QStringList& list) override;
    bool OpenKey(const QString& name, bool canCreate) override;
    bool CloseKey() override;
    bool WriteString(const QString& name, const QString& text) override;
    bool ReadString(const QString& name, QString& text) override;
    bool DeleteValue(const QString& name) override;
    bool WriteBool(const QString& name, bool value) override;
    bool ReadBool(const QString& name, bool& value) override;
    bool WriteInteger(const QString& name, int32_t value) override;
    bool ReadInteger(const QString& name, int32_t& value) override;
    bool WriteFloat(const QString& name, double value) override;
    bool ReadFloat(const QString& name, double& value) override;

    // Writes the file now; false when it could not be written (the old file is kept).
    bool Save();
    // Replaces the lines with those of a file's bytes and opens the root section.
    void Load(const QByteArray& bytes);

    const QString& FileName() const { return FFile; }
    const QStringList& Lines() const { return FLines; }

    // The lines of a file's bytes, and the bytes of a file made of lines.
    static QStringList ParseLines(const QByteArray& bytes);
    static QByteArray FormatLines(const QStringList& lines);

private:
    static bool IsHeader(const QString& line);
    static QString NameOf(const QString& line, bool& hasName);
    static bool IsWritableName(const QString& name);

    void SelectSection(const QString& path);
    // The index of the first line after the open section's values.
    qsizetype ScanEnd() const;
    qsizetype FindValue(const QString& name) const;

    QString FFile;
    QStringList FLines;
    qsizetype FSectionIndex = -1;
    bool FUnreadable = false;
};

// Deletes folder + shortName + ".ini" if it exists. False when the file could not be deleted.
bool DeleteIniFile(const QString& folder, const QString& shortName);
