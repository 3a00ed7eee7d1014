#pragma once
// Sample clips for the filter tests, made with kelvara-mksample into one temporary folder per
// test run and made only once per set of arguments (the suite asks for the same clips often).
#include <QString>
#include <QStringList>

namespace kelvara::test {

// The path of the clip of `kind` with these extra arguments, named name (with its extension,
// which decides the container for DV); empty when the tool failed. Fails the current test
// when it fails.
QString Clip(const QString& name, const QString& kind, const QStringList& args = {});

// A file of the given bytes in the run's folder.
QString WriteFile(const QString& name, const QByteArray& bytes);

// The run's temporary folder.
QString ClipFolder();

} // namespace kelvara::test
