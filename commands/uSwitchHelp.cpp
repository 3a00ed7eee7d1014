#include "commands/uSwitchHelp.h"

#include "commands/uCustomAbstractAction.h"
#include "commands/uSuperAction.h"

namespace {

QString Describe(TCustomAbstractAction& action) {
    QString text = action.Hint();
    if (text.trimmed().isEmpty())
        text = action.Caption();
    if (text.trimmed().isEmpty())
        text = action.ScriptName;
    return text.simplified();
}

} // namespace

QString SwitchHelpText(const QString& program, const QList<TCustomZvActionList*>& lists) {
    QString out;
    out += QStringLiteral("Usage: %1 [FILE] [switch ...]\n\n").arg(program);
    out += QStringLiteral(
               "Each switch names a command or a setting and is applied once the window has been "
               "shown,\n"
               "in the order given, as if it had been chosen in the window:\n"
               "  /name          runs a command, or toggles an on/off setting\n"
               "  +name, -name   turns an on/off setting on or off\n"
               "  /name=value    gives a setting a value (a text, a number, a colour, ...)\n"
               "Names are compared without regard to letter case. Values with spaces are quoted as "
               "one\n"
               "argument (/o=\"my clip.avi\").\n"
               "A file name that is not a switch (as file managers pass it) opens the file like "
               "/o=FILE.\n"
               "Without a display, run the program headless: QT_QPA_PLATFORM=offscreen %1 ...\n\n"
               "Options:\n"
               "  --help, -h     prints this text and exits\n"
               "  --run-script FILE [switch ...]\n"
               "                 opens the script FILE in the script window, applies the "
               "switches, then\n"
               "                 compiles and runs the script; its messages also go to standard "
               "error.\n"
               "                 With /quit the program closes afterwards, with exit status 1 "
               "when the\n"
               "                 script did not compile or failed.\n\n"
               "Switches:\n")
               .arg(program);
    QList<QPair<QString, QString>> rows;
    qsizetype width = 0;
    for (TCustomZvActionList* list : lists) {
        if (!list)
            continue;
        for (TCustomAbstractAction* action : list->TypedActions()) {
            if (!action || action->Switch.isEmpty())
                continue;
            rows.append({action->GetSwitchSyntax(), Describe(*action)});
            width = std::max(width, rows.last().first.size());
        }
    }
    rows.append({QStringLiteral("/quit"),
                 QStringLiteral("Close the program once the other switches have been applied")});
    width = std::min<qsizetype>(std::max(width, qsizetype(5)), 32);
    for (const auto& [syntax, text] : rows) {
        QString line = QStringLiteral("  ") + syntax.leftJustified(width);
        if (!text.isEmpty())
            line +=
                (syntax.size() > width ? QStringLiteral("\n  ") + QString(width, QLatin1Char(' '))
                                       : QString()) +
                QStringLiteral("  ") + text;
        out += line + QLatin1Char('\n');
    }
    return out;
}
