#pragma once
// Reading the argument values that the script engine passes to a bound routine. A missing or
// unconvertible argument throws std::invalid_argument, which ends the script's run with an error.
#include <cstdint>

#include <QString>
#include <QVariantList>

int32_t ScriptArgInt(const QVariantList& args, int index);
double ScriptArgDouble(const QVariantList& args, int index);
bool ScriptArgBool(const QVariantList& args, int index);
QString ScriptArgString(const QVariantList& args, int index);
