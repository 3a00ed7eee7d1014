#include "scripting/CompilerMessage.h"

namespace kelvara::script {

QString MessageKindName(MessageKind kind) {
    switch (kind) {
    case MessageKind::Hint:
        return QStringLiteral("Hint");
    case MessageKind::Warning:
        return QStringLiteral("Warning");
    case MessageKind::Error:
        break;
    }
    return QStringLiteral("Error");
}

QString CompilerMessage::ToString() const {
    return QStringLiteral("[%1] %2(%3:%4): %5")
        .arg(MessageKindName(kind), file)
        .arg(line)
        .arg(col)
        .arg(text);
}

} // namespace kelvara::script
