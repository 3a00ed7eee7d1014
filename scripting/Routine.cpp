#include "scripting/Routine.h"

#include <QStringList>

namespace kelvara::script {

QString Routine::Heading() const {
    QStringList ps;
    for (const Param& p : params) {
        QString prefix;
        switch (p.mode) {
        case ParamMode::Const:
            prefix = QStringLiteral("const ");
            break;
        case ParamMode::Var:
            prefix = QStringLiteral("var ");
            break;
        case ParamMode::Out:
            prefix = QStringLiteral("out ");
            break;
        case ParamMode::Value:
            break;
        }
        ps << prefix + p.name + QStringLiteral(": ") + TypeName(p.type);
    }
    QString h = (IsFunction() ? QStringLiteral("function ") : QStringLiteral("procedure ")) + name;
    if (!ps.isEmpty())
        h += QStringLiteral("(") + ps.join(QStringLiteral("; ")) + QStringLiteral(")");
    if (IsFunction())
        h += QStringLiteral(": ") + TypeName(result);
    return h;
}

} // namespace kelvara::script
