#include "shell/uZvVersion.h"

namespace kelvara {

QString ZvVersion() {
    return QString::asprintf("%d.%d.%d", 6, 3, 2);
}

QString ZvLanguage() {
    return QStringLiteral("en");
}

QString ZvFullName() {
    return QStringLiteral("Kelvara ") + ZvVersion() + QLatin1Char(' ') + ZvLanguage();
}

QString ZvLastUpdate() {
    return QString::asprintf("%.2d/%.2d/%.4d", 12, 3, 2022);
}

QString ZvAuthor() {
    return QStringLiteral("Osric Taskel");
}

QString ZvContactAddress() {
    return QStringLiteral("osric.taskel@kelvara.example.org");
}

QString ZvHomePage() {
    return QStringLiteral("https://kelvara.example.org/");
}

QString ZvDocumentationPage() {
    return QStringLiteral("https://kelvara.example.org/docs/");
}

QString ZvForumPage() {
    return QStringLiteral("https://forum.kelvara.example.org/");
}

} // namespace kelvara
