// Calls of routines: arguments matched to parameters (count, types, var parameters), defaults.
#include "scripting/CallExpr.h"
#include "scripting/Parser.h"

#include <algorithm>

namespace kelvara::script {

// call := routine ['(' [argument { ',' argument }] ')']
ExprPtr Parser::ParseCall(Routine* r, const SourcePos& pos) {
    std::vector<ExprPtr> args;
    if (Accept(Tok::LParen) && !Accept(Tok::RParen)) {
        do {
            if (args.size() >= r->params.size())
                Fail(FTok.pos, QStringLiteral("Too many actual parameters for '%1'").arg(r->name));
            args.push_back(ParseArgument(r->params[args.size()], r->name));
        } while (Accept(Tok::Comma));
        Expect(Tok::RParen);
    }
    for (size_t k = args.size(); k < r->params.size(); ++k) {
        const Param& p = r->params[k];
        if (!p.hasDefault)
            Fail(pos, QStringLiteral("Not enough actual parameters for '%1'").arg(r->name));
        args.push_back(std::make_unique<ConstExpr>(p.type, pos, p.def));
    }
    return MakeCall(r, std::move(args), pos);
}

ExprPtr Parser::ParseArgument(const Param& p, const QString& routineName) {
    if (p.mode != ParamMode::Var && p.mode != ParamMode::Out)
        return FCheck.Coerce(ParseExpression(), p.type);
    const SourcePos pos = FTok.pos;
    Designator d = ParseVarArgument();
    const Type* t = d.expr->type;
    const bool same = t == p.type || (p.type->kind == TypeKind::OpenArray && IsArray(t) &&
                                      t->elem == p.type->elem);
    if (!same)
        Fail(pos, QStringLiteral("Types of actual and formal var parameters must be identical "
                                 "('%1' expected for '%2' of '%3')")
                      .arg(TypeName(p.type), p.name, routineName));
    return std::move(d.expr);
}

// A variable given to a var or out parameter.
Parser::Designator Parser::ParseVarArgument() {
    const SourcePos pos = FTok.pos;
    if (FTok.kind != Tok::Ident)
        Fail(pos, QStringLiteral("Variable required"));
    Designator d = ParseDesignator();
    if (d.strBase || !d.expr || !d.expr->IsLValue() ||
        (FTok.kind != Tok::Comma && FTok.kind != Tok::RParen))
        Fail(pos, QStringLiteral("Variable required"));
    if (!d.assignable)
        Fail(pos, QStringLiteral("Constant object cannot be passed as var parameter"));
    if (d.plain && d.root && d.root->loopVar)
        Fail(pos, QStringLiteral("For loop control variable '%1' cannot be passed as var parameter")
                      .arg(d.root->name));
    return d;
}

ExprPtr Parser::MakeCall(Routine* r, std::vector<ExprPtr> args, const SourcePos& pos) {
    // Only script routines and routines with var parameters can change the script's variables.
    const bool writes =
        !r->native || std::any_of(r->params.begin(), r->params.end(), [](const Param& p) {
            return p.mode == ParamMode::Var || p.mode == ParamMode::Out;
        });
    if (writes)
        ++FCalls;
    return FCheck.Fold(MakeCallExpr(r, std::move(args), FScope->depth, pos, FTypes.Void));
}

} // namespace kelvara::script
