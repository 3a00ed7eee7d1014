#pragma once
// The recursive-descent parser. It reads tokens, resolves every name in the scopes as it goes,
// checks types through the Checker and builds the executable node tree directly: Pascal declares
// before use, so one pass suffices. The first error throws CompileError.
//
// Besides whole programs it reads the pieces the host registers: a routine heading
// ("procedure Digits(const aInteger:integer);") and a type declaration ("(taLeft, taRight)").
#include "scripting/Checker.h"
#include "scripting/Program.h"
#include "scripting/Scope.h"
#include "scripting/Stmt.h"

#include <functional>
#include <vector>

namespace kelvara::script {

struct RoutineHeading {
    QString name;
    SourcePos pos;
    std::vector<Param> params;
    const Type* result = nullptr;
    bool isFunction = false;
};

class Parser {
public:
    using TokenFn = std::function<Token()>;

    // Deepest nesting of statements, expressions in parentheses and type declarations.
    static constexpr int kMaxNesting = 200;

    Parser(Program& program, Checker& check, Scope& scope, TokenFn tokens);

    // program ... begin ... end.
    void ParseProgram();
    // A routine heading and nothing else (a final ';' and directives allowed).
    RoutineHeading ParseHeadingText();
    // A type and nothing else (a final ';' allowed); enumeration values go into the scope.
    const Type* ParseTypeText(const QString& name);
    // The type named by the text ("Integer", "TColor").
    const Type* ParseTypeNameText();

private:
    struct Designator {
        ExprPtr expr;
        ExprPtr strBase; // s[i]: kept apart so that an assignment can store the character
        ExprPtr strIndex;
        bool assignable = false;
        Symbol* root = nullptr; // the variable it starts from
        bool plain = false;     // a variable and nothing more
        bool isCall = false;    // a call (may stand as a statement)
    };
    class Nesting;

    // tokens
    void Next();
    const Token& Peek();
    bool Accept(Tok kind);
    void Expect(Tok kind);
    QString ExpectIdent();
    [[noreturn]] void Fail(const SourcePos& pos, const QString& text) const;
    [[noreturn]] void Expected(const QString& what) const;
    void ExpectEnd();

    // declarations (ParseDecl.cpp)
    void ParseDeclarations();
    void ParseConstSection();
    void ParseTypeSection();
    void ParseVarSection();
    void ParseRoutine(bool isFunction);
    RoutineHeading ParseHeading(bool isFunction);
    void ParseParams(std::vector<Param>& params);
    void SkipDirectives(bool& forward);
    void CompileBody(Routine* r);
    Symbol* Declare(std::unique_ptr<Symbol> s, const SourcePos& pos);
    void DeclareConst(const QString& name, const Type* t, Value v, const SourcePos& pos);
    VarLocation AllocVar(const Type* t);
    void CheckForwards(const SourcePos& pos);
    std::vector<std::pair<QString, SourcePos>> ParseIdentList();

    // types (ParseType.cpp)
    const Type* ParseType();
    const Type* ParseEnum();
    const Type* ParseRecord();
    const Type* ParseArray();
    const Type* ParseSet();
    const Type* ParseSubrange();
    const Type* ParseIndexType();
    Value ParseInitialValue(const Type* t);
    const Type* LookupType(const QString& name, const SourcePos& pos);
    void CheckSize(const Type* t, const SourcePos& pos);
    void NameType(const Type* t, const QString& name);

    // statements (ParseStmt.cpp)
    StmtPtr ParseStatement();
    std::unique_ptr<Block> ParseStatements(std::initializer_list<Tok> enders);
    StmtPtr ParseCompound();
    StmtPtr ParseSimpleStatement();
    StmtPtr ParseAssignment(Designator target, const SourcePos& pos);
    StmtPtr ParseIf();
    StmtPtr ParseCase();
    StmtPtr ParseCaseString(ExprPtr selector, const SourcePos& pos);
    StmtPtr ParseFor();
    StmtPtr ParseWhile();
    StmtPtr ParseRepeat();
    StmtPtr ParseTry();
    StmtPtr ParseRaise();
    StmtPtr ParseExit(const SourcePos& pos);
    StmtPtr LoopBody();

    // expressions (ParseExpr.cpp)
    ExprPtr ParseExpression();
    ExprPtr ParseSimpleExpression();
    ExprPtr ParseTerm();
    ExprPtr ParseFactor();
    ExprPtr ParseBracket();
    ExprPtr ParseConstant(const Type* expected = nullptr);
    Designator ParseDesignator();
    void ParseSelectors(Designator& d);
    ExprPtr TakeValue(Designator& d);
    ExprPtr ParseCast(const Type* to, const SourcePos& pos);
    ExprPtr ParseClassMember(const Type* cls, const SourcePos& pos);
    ExprPtr VarExpr(Symbol* sym, const SourcePos& pos);

    // calls (ParseCall.cpp)
    ExprPtr ParseCall(Routine* r, const SourcePos& pos);
    ExprPtr ParseArgument(const Param& p, const QString& routineName);
    Designator ParseVarArgument();
    void CheckAssignable(const Designator& d, const SourcePos& pos);
    ExprPtr MakeCall(Routine* r, std::vector<ExprPtr> args, const SourcePos& pos);
    Routine* ResultTarget(Symbol* sym);

    // intrinsics (ParseIntrinsic.cpp)
    // A statement intrinsic (Inc, SetLength, ...) fills *statement when it is given, and is an
    // error in an expression otherwise.
    ExprPtr ParseIntrinsic(Intrinsic which, const SourcePos& pos, StmtPtr* statement);
    // Arguments of an intrinsic; those whose bit is set in varMask must be variables.
    std::vector<ExprPtr> ParseIntrinsicArgs(size_t minCount, size_t maxCount, const QString& name,
                                            const SourcePos& pos, uint32_t varMask = 0);
    ExprPtr IntrinsicHighLow(bool high, std::vector<ExprPtr> args, const SourcePos& pos);
    ExprPtr IntrinsicLength(std::vector<ExprPtr> args, const SourcePos& pos);
    ExprPtr IntrinsicCopy(std::vector<ExprPtr> args, const SourcePos& pos);
    ExprPtr IntrinsicAbsSqr(bool sqr, std::vector<ExprPtr> args, const SourcePos& pos);
    ExprPtr IntrinsicMaxMin(bool max, std::vector<ExprPtr> args, const SourcePos& pos);
    ExprPtr IntrinsicRandom(std::vector<ExprPtr> args, const SourcePos& pos);
    ExprPtr IntrinsicFormat(std::vector<ExprPtr> args, const SourcePos& pos);
    ExprPtr CallNative(const QString& name, std::vector<ExprPtr> args, const SourcePos& pos);

    Program& FProgram;
    Checker& FCheck;
    TypeTable& FTypes;
    Scope* FScope;
    TokenFn FTokens;
    Token FTok;
    Token FPeek;
    bool FHasPeek = false;
    int FNesting = 0;
    int FLoops = 0;    // loops enclosing the statement being parsed (in this routine)
    int FHandlers = 0; // except blocks enclosing it
    int FCalls = 0;    // calls built so far
    int64_t FStackLimit = 0;
    std::vector<std::pair<Scope*, Symbol*>> FForwards;
};

// Counts the nesting of recursive parse functions and guards the machine stack.
class Parser::Nesting {
public:
    Nesting(Parser& p, const SourcePos& pos) : FParser(p) {
        const auto here = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
        if (++p.FNesting > kMaxNesting || here < uintptr_t(p.FStackLimit))
            p.Fail(pos, QStringLiteral("Nesting too deep"));
    }
    ~Nesting() { --FParser.FNesting; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

private:
    Parser& FParser;
};

} // namespace kelvara::script
