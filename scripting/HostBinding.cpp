#include "scripting/HostBinding.h"

#include "scripting/Compiler.h"
#include "scripting/ScriptError.h"

#include <exception>

namespace kelvara::script {

QVariant ValueToVariant(const Value& v, const Type* t) {
    switch (t->kind) {
    case TypeKind::Ordinal:
        switch (t->ord) {
        case OrdKind::Boolean:
            return QVariant(v.i != 0);
        case OrdKind::Char:
            return QVariant(QString(QChar(char16_t(v.i))));
        case OrdKind::Enum:
            return QVariant(int(v.i));
        case OrdKind::Integer:
            break;
        }
        switch (t->size) {
        case IntSize::U8:
        case IntSize::U16:
        case IntSize::U32:
            return QVariant(uint(v.i));
        case IntSize::S64:
            return QVariant(qlonglong(v.i));
        default:
            return QVariant(int(v.i));
        }
    case TypeKind::Float:
        return QVariant(v.d);
    case TypeKind::String:
        return QVariant(v.s);
    case TypeKind::Record:
    case TypeKind::StaticArray:
    case TypeKind::DynArray:
    case TypeKind::OpenArray: {
        QVariantList list;
        if (v.a)
            for (size_t k = 0; k < v.a->items.size(); ++k) {
                const Type* et = t->kind == TypeKind::Record ? t->fields[k].type : t->elem;
                list << ValueToVariant(v.a->items[k], et);
            }
        return list;
    }
    case TypeKind::Set: {
        QVariantList list;
        for (int n = 0; n < 256; ++n)
            if (v.a && v.a->HasBit(n))
                list << n;
        return list;
    }
    case TypeKind::ConstArray: {
        QVariantList list;
        if (v.a)
            for (size_t k = 0; k < v.a->items.size(); ++k)
                list << ValueToVariant(v.a->items[k], v.a->itemTypes[k]);
        return list;
    }
    default:
        return QVariant();
    }
}

NativeFn MakeHostNative(const Routine& r, QObject* object, ScriptRoutine routine) {
    const QString name = r.name;
    std::vector<const Type*> params;
    for (const Param& p : r.params)
        params.push_back(p.type);
    const Type* result = r.result;
    return [name, params, result, owner = QPointer<QObject>(object), hasOwner = object != nullptr,
            routine = std::move(routine)](NativeCall& call) {
        if (hasOwner && !owner)
            throw ScriptError(
                QStringLiteral("'%1' can no longer be called: its object is gone").arg(name));
        QVariantList args;
        for (size_t k = 0; k < params.size(); ++k)
            args << ValueToVariant(call.Arg(int(k)), params[k]);
        QVariant value;
        try {
            value = routine(args);
        } catch (const ScriptError&) {
            throw;
        } catch (const ScriptStop&) {
            throw;
        } catch (const std::exception& e) {
            throw ScriptError(QString::fromUtf8(e.what()));
        } catch (...) {
            throw ScriptError(QStringLiteral("Unknown error in '%1'").arg(name));
        }
        if (result && !VariantToValue(value, result, call.Result()))
            throw ScriptError(QStringLiteral("'%1' returned a value that is not of type '%2'")
                                  .arg(name, TypeName(result)));
    };
}

} // namespace kelvara::script
