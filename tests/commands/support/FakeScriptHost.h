#pragma once
// An in-memory script host: records the routines declared at each compilation, refuses duplicate
// names (letter case ignored, as in Pascal) and lets a test call a routine with script arguments.
#include "commands/ActionInterfaces.h"

#include <QObject>
#include <QStringList>
#include <QVector>

class TFakeScriptHost : public IScriptHost {
public:
    struct TMethod {
        QObject* Object = nullptr;
        TScriptRoutine Routine;
        QString Declaration;
        QString Name;
    };

    // The host's own built-in declaration comes first at each compilation.
    TFakeScriptHost();

    bool AddMethod(QObject* object, TScriptRoutine routine, const QString& declaration) override;
    TCompileHook CompileHook() const override { return FHook; }
    void SetCompileHook(TCompileHook hook) override { FHook = std::move(hook); }
    QObject* HostObject() override { return &FObject; }

    // Clears the declarations and runs the compile hook chain.
    void Compile();
    // Calls the routine declared under name; throws when there is none.
    QVariant Call(const QString& name, const QVariantList& args = {});
    QStringList Names() const;
    const TMethod* Find(const QString& name) const;

    QVector<TMethod> Methods;

private:
    TCompileHook FHook;
    QObject FObject;
};

// The routine name of a "procedure X(...);" or "function X: T;" declaration.
QString DeclaredName(const QString& declaration);
