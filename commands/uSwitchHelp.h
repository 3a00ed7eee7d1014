#pragma once
// The text that `--help` prints: how command-line switches work and the list of every switch of
// the given action lists, each with its syntax as the action itself gives it (GetSwitchSyntax)
// and its hint, in list order.
#include <QList>
#include <QString>

class TCustomZvActionList;

QString SwitchHelpText(const QString& program, const QList<TCustomZvActionList*>& lists);
