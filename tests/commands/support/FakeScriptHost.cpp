#include "tests/commands/support/FakeScriptHost.h"

#include <stdexcept>

QString DeclaredName(const QString& declaration) {
    QString d = declaration.trimmed();
    for (const char* keyword : {"procedure ", "function "})
        if (d.startsWith(QLatin1String(keyword), Qt::CaseInsensitive))
            d = d.mid(int(qstrlen(keyword))).trimmed();
    qsizetype end = 0;
    while (end < d.size() && (d.at(end).isLetterOrNumber() || d.at(end) == QLatin1Char('_')))
        ++end;
    return d.left(end);
}

TFakeScriptHost::TFakeScriptHost() {
    FHook = [](IScriptHost& host) {
        host.AddMethod(
            nullptr, [](const QVariantList&) { return QVariant(); },
            QStringLiteral("procedure showmessage(z:string);"));
    };
}

bool TFakeScriptHost::AddMethod(QObject* object, TScriptRoutine routine,
                                const QString& declaration) {
    const QString name = DeclaredName(declaration);
    if (name.isEmpty() || Find(name))
        return false;
    Methods.push_back({object, std::move(routine), declaration, name});
    return true;
}

void TFakeScriptHost::Compile() {
    Methods.clear();
    if (FHook)
        FHook(*this);
}

const TFakeScriptHost::TMethod* TFakeScriptHost::Find(const QString& name) const {
    for (const TMethod& m : Methods)
        if (m.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &m;
    return nullptr;
}

QVariant TFakeScriptHost::Call(const QString& name, const QVariantList& args) {
    const TMethod* m = Find(name);
    if (!m)
        throw std::runtime_error("no routine " + name.toStdString());
    return m->Routine(args);
}

QStringList TFakeScriptHost::Names() const {
    QStringList names;
    for (const TMethod& m : Methods)
        names << m.Name;
    return names;
}
