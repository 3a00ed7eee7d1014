#include "scripting/Compiler.h"

#include "scripting/Lexer.h"
#include "scripting/Parser.h"
#include "scripting/StdLib.h"

#include <limits>
#include <new>

#include <QRegularExpression>

namespace kelvara::script {

namespace {

bool IsIdentifier(const QString& name) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(name).hasMatch() && KeywordKind(name.toLower()) == Tok::Ident;
}

void SetError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

} // namespace

bool VariantToValue(const QVariant& v, const Type* t, Value& out) {
    InitValue(out, t);
    if (!v.isValid())
        return true;
    switch (t->kind) {
    case TypeKind::Ordinal: {
        if (IsChar(t) && v.typeId() == QMetaType::QString) {
            const QString s = v.toString();
            out.i = s.isEmpty() ? 0 : s.at(0).unicode();
            return true;
        }
        bool ok = false;
        const int64_t i = v.typeId() == QMetaType::Bool ? int64_t(v.toBool()) : v.toLongLong(&ok);
        if (!ok && v.typeId() != QMetaType::Bool)
            return false;
        out.i = IsBoolean(t) ? int64_t(i != 0) : WrapToSize(i, t->size);
        return true;
    }
    case TypeKind::Float: {
        bool ok = false;
        out.d = v.toDouble(&ok);
        return ok;
    }
    case TypeKind::String:
        out.s = v.toString();
        return true;
    case TypeKind::Record:
    case TypeKind::StaticArray:
    case TypeKind::DynArray: {
        if (!v.canConvert<QVariantList>())
            return false;
        const QVariantList list = v.toList();
        if (t->kind == TypeKind::DynArray) {
            if (list.isEmpty())
                return true;
            out.a = MakeAgg(AggKind::DynArray, t);
            out.a->items.resize(size_t(list.size()));
        } else if (size_t(list.size()) != out.a->items.size()) {
            return false;
        }
        for (qsizetype k = 0; k < list.size(); ++k) {
            const Type* et = t->kind == TypeKind::Record ? t->fields[size_t(k)].type : t->elem;
            if (!VariantToValue(list.at(k), et, out.a->items[size_t(k)]))
                return false;
        }
        return true;
    }
    case TypeKind::Set: {
        if (!v.canConvert<QVariantList>())
            return false;
        out.a = MakeAgg(AggKind::Set, t);
        for (const QVariant& e : v.toList())
            out.a->SetBit(e.toLongLong());
        return true;
    }
    default:
        return false;
    }
}

Compiler::Compiler(const Limits& limits)
    : FProgram(std::make_shared<Program>()),
      FCheck(std::make_unique<Checker>(FProgram->types, limits)),
      FSystem(std::make_unique<Scope>(nullptr, nullptr, 0)),
      FHost(std::make_unique<Scope>(FSystem.get(), nullptr, 0)) {
    DeclareBuiltins();
    RegisterStdLib(*this);
}

Compiler::~Compiler() = default;

void Compiler::DeclareType(const QString& name, const Type* t) {
    auto s = std::make_unique<Symbol>();
    s->kind = SymKind::Type;
    s->name = name;
    s->type = t;
    FSystem->Add(std::move(s));
}

void Compiler::DeclareIntrinsic(const QString& name, Intrinsic which) {
    auto s = std::make_unique<Symbol>();
    s->kind = SymKind::Intrinsic;
    s->name = name;
    s->intrinsic = which;
    FSystem->Add(std::move(s));
}

void Compiler::AddSystemConstant(const QString& name, const Type* t, Value v) {
    auto s = std::make_unique<Symbol>();
    s->kind = SymKind::Const;
    s->name = name;
    s->type = t;
    s->value = std::move(v);
    FSystem->Add(std::move(s));
}

void Compiler::DeclareBuiltins() {
    const TypeTable& t = FProgram->types;
    const std::pair<const char*, const Type*> types[] = {
        {"Integer", t.Integer},      {"LongInt", t.Integer},    {"NativeInt", t.Integer},
        {"Cardinal", t.Cardinal},    {"LongWord", t.Cardinal},  {"NativeUInt", t.Cardinal},
        {"DWord", t.Cardinal},       {"Word", t.Word},          {"Byte", t.Byte},
        {"SmallInt", t.SmallInt},    {"ShortInt", t.ShortInt},  {"Int64", t.Int64},
        {"Boolean", t.Boolean},      {"Char", t.Char},          {"WideChar", t.Char},
        {"AnsiChar", t.Char},        {"WideString", t.String},  {"AnsiString", t.String},
        {"UnicodeString", t.String}, {"ShortString", t.String}, {"Double", t.Double},
        {"Single", t.Single},        {"Extended", t.Double},    {"Real", t.Double},
        {"TDateTime", t.DateTime},   {"TDate", t.DateTime},     {"TTime", t.DateTime},
    };
    for (const auto& [name, type] : types)
        DeclareType(QLatin1String(name), type);
    DeclareType(t.Object->name, t.Object);
    for (const Type* cls : t.ExceptionClasses())
        DeclareType(cls->name, cls);

    auto ord = [](int64_t i) {
        Value v;
        v.i = i;
        return v;
    };
    AddSystemConstant(QStringLiteral("True"), t.Boolean, ord(1));
    AddSystemConstant(QStringLiteral("False"), t.Boolean, ord(0));
    AddSystemConstant(QStringLiteral("MaxInt"), t.Integer,
                      ord(std::numeric_limits<int32_t>::max()));
    AddSystemConstant(QStringLiteral("MaxLongInt"), t.Integer,
                      ord(std::numeric_limits<int32_t>::max()));
    AddSystemConstant(QStringLiteral("MaxInt64"), t.Int64,
                      ord(std::numeric_limits<int64_t>::max()));
    Value pi;
    pi.d = 3.14159265358979323846;
    AddSystemConstant(QStringLiteral("Pi"), t.Double, pi);

    const std::pair<const char*, Intrinsic> intrinsics[] = {
        {"Inc", Intrinsic::Inc},           {"Dec", Intrinsic::Dec},
        {"Ord", Intrinsic::Ord},           {"Chr", Intrinsic::Chr},
        {"Succ", Intrinsic::Succ},         {"Pred", Intrinsic::Pred},
        {"Length", Intrinsic::Length},     {"SetLength", Intrinsic::SetLength},
        {"High", Intrinsic::High},         {"Low", Intrinsic::Low},
        {"Copy", Intrinsic::Copy},         {"Abs", Intrinsic::Abs},
        {"Sqr", Intrinsic::Sqr},           {"Odd", Intrinsic::Odd},
        {"Include", Intrinsic::Include},   {"Exclude", Intrinsic::Exclude},
        {"Assigned", Intrinsic::Assigned}, {"Format", Intrinsic::Format},
        {"Exit", Intrinsic::Exit},         {"Break", Intrinsic::Break},
        {"Continue", Intrinsic::Continue}, {"Random", Intrinsic::Random},
        {"Max", Intrinsic::Max},           {"Min", Intrinsic::Min},
        {"Concat", Intrinsic::Concat},     {"RaiseException", Intrinsic::RaiseException},
        {"IntToHex", Intrinsic::IntToHex},
    };
    for (const auto& [name, which] : intrinsics)
        DeclareIntrinsic(QLatin1String(name), which);
}

Routine* Compiler::ParseRoutine(Scope& scope, const QString& declaration) {
    Lexer lexer(declaration, 0, false);
    Parser parser(*FProgram, *FCheck, scope, [&lexer] { return lexer.Next(); });
    RoutineHeading h = parser.ParseHeadingText();
    if (h.isFunction && !h.result)
        throw CompileError{h.pos,
                           QStringLiteral("Result type of function '%1' expected").arg(h.name)};
    Routine* r = FProgram->NewRoutine();
    r->name = h.name;
    r->pos = h.pos;
    r->params = std::move(h.params);
    r->result = h.result;
    r->depth = 1;
    r->slotCount = 1 + int(r->params.size());
    r->defined = true;
    return r;
}

void Compiler::AddNative(const QString& declaration, NativeFn fn, bool pure) {
    // A helper named "$Name" is parsed as "Name" and then renamed, out of the scripts' reach.
    QString text = declaration;
    const qsizetype dollar = text.indexOf(QStringLiteral(" $"));
    if (dollar >= 0)
        text.remove(dollar + 1, 1);
    Routine* r = ParseRoutine(*FSystem, text);
    if (dollar >= 0)
        r->name.prepend(u'$');
    r->native = std::move(fn);
    r->pure = pure;
    auto s = std::make_unique<Symbol>();
    s->kind = SymKind::Routine;
    s->name = r->name;
    s->routine = r;
    FSystem->Add(std::move(s));
}

bool Compiler::AddMethod(const QString& declaration, const std::function<bool(Routine&)>& bind,
                         QString* error) {
    try {
        Routine* r = ParseRoutine(*FHost, declaration);
        if (FHost->Lookup(r->name)) {
            SetError(error, QStringLiteral("Identifier redeclared: '%1'").arg(r->name));
            return false;
        }
        if (!bind(*r))
            return false;
        auto s = std::make_unique<Symbol>();
        s->kind = SymKind::Routine;
        s->name = r->name;
        s->routine = r;
        return FHost->Add(std::move(s)) != nullptr;
    } catch (const CompileError& e) {
        SetError(error, e.text);
        return false;
    }
}

bool Compiler::AddType(const QString& name, const QString& declaration, QString* error) {
    return DeclareTypeIn(*FHost, name, declaration, error);
}

bool Compiler::AddSystemType(const QString& name, const QString& declaration) {
    return DeclareTypeIn(*FSystem, name, declaration, nullptr);
}

// The type and the names it brings (enumeration values) are declared only when all are new.
bool Compiler::DeclareTypeIn(Scope& scope, const QString& name, const QString& declaration,
                             QString* error) {
    if (!IsIdentifier(name) || scope.Lookup(name)) {
        SetError(error, QStringLiteral("Invalid or duplicate type name '%1'").arg(name));
        return false;
    }
    try {
        Scope temp(&scope, nullptr, 0);
        Lexer lexer(declaration, 0, false);
        Parser parser(*FProgram, *FCheck, temp, [&lexer] { return lexer.Next(); });
        const Type* t = parser.ParseTypeText(name);
        auto symbols = temp.TakeSymbols();
        for (const auto& s : symbols)
            if (scope.Lookup(s->name) || s->name.compare(name, Qt::CaseInsensitive) == 0) {
                SetError(error, QStringLiteral("Identifier redeclared: '%1'").arg(s->name));
                return false;
            }
        for (auto& s : symbols)
            scope.Add(std::move(s));
        auto s = std::make_unique<Symbol>();
        s->kind = SymKind::Type;
        s->name = name;
        s->type = t;
        return scope.Add(std::move(s)) != nullptr;
    } catch (const CompileError& e) {
        SetError(error, e.text);
        return false;
    }
}

bool Compiler::AddConstant(const QString& name, const QString& typeName, const QVariant& value,
                           QString* error) {
    if (!IsIdentifier(name) || FHost->Lookup(name)) {
        SetError(error, QStringLiteral("Invalid or duplicate constant name '%1'").arg(name));
        return false;
    }
    try {
        Lexer lexer(typeName, 0, false);
        Parser parser(*FProgram, *FCheck, *FHost, [&lexer] { return lexer.Next(); });
        const Type* t = parser.ParseTypeNameText();
        auto s = std::make_unique<Symbol>();
        s->kind = SymKind::Const;
        s->name = name;
        s->type = t;
        if (!VariantToValue(value, t, s->value)) {
            SetError(error, QStringLiteral("Value does not fit type '%1'").arg(TypeName(t)));
            return false;
        }
        return FHost->Add(std::move(s)) != nullptr;
    } catch (const CompileError& e) {
        SetError(error, e.text);
        return false;
    }
}

bool Compiler::AddClass(const QString& name, const QString& parentName) {
    if (!IsIdentifier(name) || FHost->Lookup(name))
        return false;
    const Symbol* parent = FHost->Lookup(parentName);
    if (!parent || parent->kind != SymKind::Type || !IsClass(parent->type))
        return false;
    auto s = std::make_unique<Symbol>();
    s->kind = SymKind::Type;
    s->name = name;
    s->type = FProgram->types.NewClass(name, parent->type);
    return FHost->Add(std::move(s)) != nullptr;
}

CompilerMessage Compiler::Message(const CompileError& e) const {
    CompilerMessage m;
    m.kind = MessageKind::Error;
    const auto& sources = FProgram->sources;
    if (e.pos.file > 0 && size_t(e.pos.file) < sources.size())
        m.file = sources[size_t(e.pos.file)].displayName;
    m.line = e.pos.line;
    m.col = e.pos.col;
    m.text = e.text;
    return m;
}

bool Compiler::Compile(const QString& text, const Preprocessor::Options& options,
                       std::vector<CompilerMessage>& messages) {
    try {
        Preprocessor pre(text, options, FProgram->sources);
        Scope globals(FHost.get(), nullptr, 0);
        Parser parser(*FProgram, *FCheck, globals, [&pre] { return pre.Next(); });
        parser.ParseProgram();
        return true;
    } catch (const CompileError& e) {
        messages.push_back(Message(e));
    } catch (const std::bad_alloc&) {
        messages.push_back(Message(CompileError{{}, QStringLiteral("Out of memory")}));
    } catch (const std::exception& e) {
        messages.push_back(Message(CompileError{
            {}, QStringLiteral("Internal error: %1").arg(QString::fromUtf8(e.what()))}));
    }
    return false;
}

} // namespace kelvara::script
