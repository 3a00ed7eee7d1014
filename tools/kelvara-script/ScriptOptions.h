#pragma once
// The command line of kelvara-script: FILE [--define NAME | -d NAME | --define=NAME]... [--help]
#include "platform/ui/TypedArguments.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

struct TScriptOptions {
    QByteArray File; // as typed: the bytes of the name
    QStringList Defines;
    bool Help = false;
};

// False with a reason when the command line is wrong.
bool ParseScriptArguments(const TTypedArguments& args, TScriptOptions& options, QString& error);
