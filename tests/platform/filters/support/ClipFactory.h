#pragma once
// Sample clips for the filter tests, made with kelvara-mksample once per set of arguments and
// build of the tool, and kept in the test home's cache (every test case runs in a process of its
// own, and the suite asks for the same clips often). Files the tests write themselves go into a
// temporary folder of the process.
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
