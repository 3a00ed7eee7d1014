#pragma once
// The registry tool's two commands that the program runs, carried out in process against the
// user's hive (RegistryHive::User()):
//   import "file"                     applies a .reg file, all of it or, on any error, nothing;
//   delete KEY /F                     deletes the key (HKEY_CURRENT_USER\... or HKCU\...) and
//                                     everything below it;
//   delete KEY /V name | /VE | /VA /F deletes one value, the default value, or all values.
// Arguments are split as a Windows command line is (blanks separate, double quotation marks
// group). Deletions need /F, since there is nobody to confirm them.
#include <QString>

// True when the command was carried out; false when the arguments cannot be carried out (unknown
// command, missing or unreadable file, a syntax error in the file, a key outside the user's hive,
// a key or value that does not exist) or the hive cannot be written. Nothing is ever shown, so
// hidden changes nothing; it is kept because callers pass it.
bool ImportRegFile(const QString& parameters, bool hidden = true);

// The arguments of a Windows command line.
QStringList SplitCommandLine(const QString& commandLine);
