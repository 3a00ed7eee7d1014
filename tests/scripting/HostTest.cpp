// The host interface: routines bound with AddMethod (declarations, argument and result
// conversion, refusals, errors), types and constants registered by name, the compile hook.
#include "tests/scripting/ScriptRunner.h"

#include <memory>
#include <stdexcept>

#include <QObject>

#include <gtest/gtest.h>

namespace kelvara::script::test {
namespace {

// An engine with writeln/write whose compile hook runs `registrations`.
struct Host {
    Engine engine;
    QString out;
    std::function<void(Engine&)> registrations;

    Host() {
        engine.SetCompileCallback([this](Engine& e) {
            AddOutput(e, out);
            e.AddStandardGraphics();
            if (registrations)
                registrations(e);
        });
    }
    bool Run(const QString& text) {
        engine.SetScript(text);
        if (!engine.Compile())
            return false;
        return engine.Execute();
    }
    QString FirstMessage() const {
        return engine.CompilerMessages().empty() ? QString()
                                                 : engine.CompilerMessages().front().ToString();
    }
};

TEST(AddMethod, ArgumentsArriveAsTheQVariantsOfTheContract) {
    Host h;
    QVariantList seen;
    h.registrations = [&](Engine& e) {
        ASSERT_TRUE(e.AddMethod(
            nullptr,
            [&](const QVariantList& a) {
                seen = a;
                return QVariant();
            },
            QStringLiteral("procedure Take(a: Integer; b: TColor; c: Cardinal; d: Word; e: Byte; "
                           "f: Int64; g: Boolean; h: Double; i: Single; j: Extended; k: "
                           "TDateTime; l: String; m: WideString; n: AnsiString; o: Char; p: "
                           "SmallInt; q: ShortInt; r: LongWord; s: LongInt);")));
    };
    ASSERT_TRUE(h.Run(QStringLiteral(
        "begin Take(-1, clRed, 4000000000, 65535, 255, 10000000000, True, 1.5, 0.5, 2.5, 3.25, "
        "'s', 'w', 'a', 'c', -2, -3, 7, 8); end.")))
        << h.FirstMessage().toStdString() << h.engine.ExecErrorText().toStdString();
    const QMetaType::Type expected[] = {
        QMetaType::Int,     QMetaType::Int,      QMetaType::UInt,    QMetaType::UInt,
        QMetaType::UInt,    QMetaType::LongLong, QMetaType::Bool,    QMetaType::Double,
        QMetaType::Double,  QMetaType::Double,   QMetaType::Double,  QMetaType::QString,
        QMetaType::QString, QMetaType::QString,  QMetaType::QString, QMetaType::Int,
        QMetaType::Int,     QMetaType::UInt,     QMetaType::Int};
    ASSERT_EQ(seen.size(), qsizetype(std::size(expected)));
    for (qsizetype k = 0; k < seen.size(); ++k)
        EXPECT_EQ(seen[k].typeId(), int(expected[k])) << "argument " << k;
    EXPECT_EQ(seen[0].toInt(), -1);
    EXPECT_EQ(seen[1].toInt(), 255);
    EXPECT_EQ(seen[2].toUInt(), 4000000000u);
    EXPECT_EQ(seen[5].toLongLong(), 10000000000LL);
    EXPECT_EQ(seen[14].toString(), QStringLiteral("c"));
}

TEST(AddMethod, ResultsAreConvertedToTheDeclaredType) {
    Host h;
    h.registrations = [](Engine& e) {
        e.AddMethod(
            nullptr, [](const QVariantList& a) { return QVariant(a[0].toInt() * 2); },
            QStringLiteral("function Twice(n: Integer): Integer;"));
        e.AddMethod(
            nullptr, [](const QVariantList&) { return QVariant(QStringLiteral("txt")); },
            QStringLiteral("function Text: string;"));
        e.AddMethod(
            nullptr, [](const QVariantList&) { return QVariant(); },
            QStringLiteral("function Nothing: Integer;"));
        e.AddMethod(
            nullptr, [](const QVariantList&) { return QVariant(true); },
            QStringLiteral("function Yes: Boolean;"));
        e.AddMethod(
            nullptr, [](const QVariantList&) { return QVariant(2.5); },
            QStringLiteral("function Half: Double;"));
        e.AddMethod(
            nullptr, [](const QVariantList&) { return QVariant(QStringLiteral("abc")); },
            QStringLiteral("function Wrong: Integer;"));
    };
    ASSERT_TRUE(h.Run(QStringLiteral("begin writeln(IntToStr(Twice(21)) + Text + "
                                     "IntToStr(Nothing) + BoolToStr(Yes, True) + "
                                     "FloatToStr(Half)); end.")));
    EXPECT_EQ(h.out.toStdString(), "42txt0True2.5\n");
    EXPECT_FALSE(h.Run(QStringLiteral("begin writeln(IntToStr(Wrong)); end.")));
    EXPECT_EQ(h.engine.ExecErrorText().toStdString(),
              "'Wrong' returned a value that is not of type 'Integer' (line 1, column 24)");
}

TEST(AddMethod, RefusesDuplicatesAndDeclarationsThatDoNotParse) {
    Host h;
    auto none = [](const QVariantList&) { return QVariant(); };
    std::vector<std::pair<QString, bool>> results;
    h.registrations = [&](Engine& e) {
        const char* declarations[] = {
            "procedure Grab;",
            "procedure grab;", // same name, other case
            "procedure Digits(const aInteger:integer);",
            "procedure Trim;", // a routine of the engine
            "procedure Broken(a: );",
            "procedure (a: Integer);",
            "function NoResult(a: Integer);",
            "procedure Unknown(a: TNoSuchType);",
            "procedure Two; procedure Three;",
            "procedure ByRef(var a: Integer);", // the host cannot give values back
            "",
            "begin end.",
            "procedure Forwarded; forward;",
        };
        for (const char* d : declarations)
            results.emplace_back(QString::fromLatin1(d),
                                 e.AddMethod(nullptr, none, QString::fromLatin1(d)));
    };
    h.Run(QStringLiteral("begin end."));
    const bool expected[] = {true,  false, true,  false, false, false, false,
                             false, false, false, false, false, true};
    ASSERT_EQ(results.size(), std::size(expected));
    for (size_t k = 0; k < results.size(); ++k)
        EXPECT_EQ(results[k].second, expected[k]) << results[k].first.toStdString();
}

TEST(AddMethod, AnExceptionOfTheRoutineEndsTheRunWithItsText) {
    Host h;
    h.engine.SetUseDebugInfo(false);
    h.registrations = [](Engine& e) {
        e.AddMethod(
            nullptr,
            [](const QVariantList&) -> QVariant {
                throw std::runtime_error("Unable to create directory");
            },
            QStringLiteral("procedure forcedirectories(dir:widestring);"));
    };
    EXPECT_FALSE(
        h.Run(QStringLiteral("begin writeln('a'); forcedirectories(''); writeln('b'); end.")));
    EXPECT_EQ(h.engine.ExecErrorText().toStdString(), "Unable to create directory");
    EXPECT_EQ(h.out.toStdString(), "a\n");
    EXPECT_TRUE(h.Run(QStringLiteral("begin try forcedirectories(''); except on E: Exception do "
                                     "writeln('caught ' + E.Message); end; end.")));
    EXPECT_EQ(h.out.toStdString(), "a\ncaught Unable to create directory\n");
}

TEST(AddMethod, ARoutineWhoseObjectIsGoneCannotBeCalled) {
    Host h;
    auto owner = std::make_unique<QObject>();
    h.registrations = [&](Engine& e) {
        e.AddMethod(
            owner.get(), [](const QVariantList&) { return QVariant(); },
            QStringLiteral("procedure Grab;"));
    };
    h.engine.SetScript(QStringLiteral("begin Grab; end."));
    ASSERT_TRUE(h.engine.Compile());
    owner.reset();
    EXPECT_FALSE(h.engine.Execute());
    EXPECT_TRUE(h.engine.ExecErrorText().startsWith(
        QStringLiteral("'Grab' can no longer be called: its object is gone")));
}

TEST(AddMethod, OutsideTheHookAppliesToTheNextCompilationOnly) {
    Host h;
    auto none = [](const QVariantList&) { return QVariant(); };
    EXPECT_TRUE(h.engine.AddMethod(nullptr, none, QStringLiteral("procedure Later(c: TColor);")));
    EXPECT_FALSE(h.engine.AddMethod(nullptr, none, QStringLiteral("procedure later;")));
    EXPECT_FALSE(h.engine.AddMethod(nullptr, none, QStringLiteral("procedure Bad(;")));
    EXPECT_TRUE(h.Run(QStringLiteral("begin Later(clRed); end.")));
    EXPECT_FALSE(h.Run(QStringLiteral("begin Later(clRed); end.")));
    EXPECT_EQ(h.FirstMessage().toStdString(), "[Error] (1:7): Unknown identifier 'Later'");
}

TEST(AddType, RegistersEnumerationsSetsRecordsArraysAndAliases) {
    Host h;
    h.registrations = [](Engine& e) {
        const std::pair<const char*, const char*> types[] = {
            {"TAlignment", "(taLeftJustify, taRightJustify, taCenter)"},
            {"HResult", "LongInt"},
            {"TGUID", "record D1: LongWord; D2: Word; D3: Word; D4: array[0..7] of Byte; end;"},
            {"TCLSID", "TGUID"},
            {"TPoint", "record x,y: Longint; end;"},
            {"TBorderIcon", "(biSystemMenu, biMinimize, biMaximize, biHelp)"},
            {"TBorderIcons", "set of TBorderIcon"},
            {"TTextLayout", "( tlTop, tlCenter, tlBottom )"},
            {"TSHORTCUT", "WORD"},
            {"TSavePreferences", "(spRegistre,spPortable,spNone)"},
        };
        for (const auto& [name, decl] : types)
            EXPECT_TRUE(e.AddType(QLatin1String(name), QLatin1String(decl))) << name;
    };
    ASSERT_TRUE(h.Run(QStringLiteral(
        "var a: TAlignment; r: HResult; g: TCLSID; p: TPoint; i: TBorderIcons; s: TShortCut; "
        "sp: TSavePreferences; begin a := taCenter; r := -5; g.D4[7] := 9; p.x := 3; i := "
        "[biHelp]; s := 65535; sp := spNone; writeln(IntToStr(Ord(a)) + IntToStr(r) + "
        "IntToStr(g.D4[7]) + IntToStr(p.x) + BoolToStr(biHelp in i, True) + IntToStr(s) + "
        "IntToStr(Ord(sp)) + IntToStr(Ord(tlBottom))); end.")))
        << h.FirstMessage().toStdString();
    EXPECT_EQ(h.out.toStdString(), "2-593True6553522\n");
}

TEST(AddType, RefusesDuplicatesAndBadDeclarationsWithoutLeavingNames) {
    Host h;
    h.registrations = [](Engine& e) {
        EXPECT_TRUE(e.AddType(QStringLiteral("TOne"), QStringLiteral("(oneA, oneB)")));
        EXPECT_FALSE(e.AddType(QStringLiteral("tone"), QStringLiteral("Integer")));
        EXPECT_FALSE(e.AddType(QStringLiteral("TTwo"), QStringLiteral("(twoA, oneB)")));
        EXPECT_FALSE(e.AddType(QStringLiteral("TThree"), QStringLiteral("record x: ; end;")));
        EXPECT_FALSE(e.AddType(QStringLiteral("TFour"), QStringLiteral("NoSuchType")));
        EXPECT_FALSE(e.AddType(QStringLiteral("not a name"), QStringLiteral("Integer")));
        EXPECT_FALSE(e.AddType(QStringLiteral("begin"), QStringLiteral("Integer")));
    };
    EXPECT_FALSE(h.Run(QStringLiteral("var x: TTwo; begin end.")));
    EXPECT_FALSE(h.Run(QStringLiteral("begin writeln(IntToStr(Ord(twoA))); end.")));
    EXPECT_TRUE(h.Run(QStringLiteral("var x: TOne; begin x := oneB; end.")));
}

TEST(AddConstant, RegistersByNameTypeNameAndValue) {
    Host h;
    h.registrations = [](Engine& e) {
        EXPECT_TRUE(
            e.AddConstant(QStringLiteral("clMoneyGreen"), QStringLiteral("Integer"), 12639424));
        EXPECT_TRUE(e.AddConstant(QStringLiteral("SecsPerDay"), QStringLiteral("Longint"), 86400));
        EXPECT_TRUE(e.AddConstant(QStringLiteral("Greeting"), QStringLiteral("string"),
                                  QStringLiteral("hi")));
        EXPECT_TRUE(e.AddConstant(QStringLiteral("Ratio"), QStringLiteral("Double"), 0.25));
        EXPECT_FALSE(e.AddConstant(QStringLiteral("secsperday"), QStringLiteral("Integer"), 1));
        EXPECT_FALSE(e.AddConstant(QStringLiteral("Bad"), QStringLiteral("NoType"), 1));
        EXPECT_FALSE(e.AddConstant(QStringLiteral("Bad2"), QStringLiteral("Integer"),
                                   QStringLiteral("not a number")));
    };
    ASSERT_TRUE(
        h.Run(QStringLiteral("begin writeln(IntToStr(clMoneyGreen) + ' ' + "
                             "IntToStr(SecsPerDay) + Greeting + FloatToStr(Ratio)); end.")));
    EXPECT_EQ(h.out.toStdString(), "12639424 86400hi0.25\n");
}

TEST(StandardGraphics, DeclarationsUsingThemCompile) {
    Host h;
    h.registrations = [](Engine& e) {
        auto none = [](const QVariantList&) { return QVariant(); };
        EXPECT_TRUE(
            e.AddMethod(nullptr, none, QStringLiteral("procedure Colour(const aColor:TColor);")));
        EXPECT_TRUE(
            e.AddMethod(nullptr, none,
                        QStringLiteral("procedure InsertFont(aName:widestring;aSize:integer;"
                                       "aColor:TColor;isBold:Boolean;isItalic:Boolean;"
                                       "isUnderline:Boolean;isStrikeOut:Boolean);")));
        EXPECT_TRUE(
            e.AddMethod(nullptr, none, QStringLiteral("procedure Paint(c: TCanvas; b: TBitmap);")));
    };
    ASSERT_TRUE(h.Run(QStringLiteral(
        "var f: TFont; s: TFontStyles; p: TPenStyle; b: TBrushStyle; begin Colour(clRed); "
        "Colour($00FF00); InsertFont('Arial', 12, clBlack, True, False, False, False); s := "
        "[fsBold]; p := psDash; b := bsClear; f := nil; Paint(nil, nil); if f = nil then "
        "writeln(IntToStr(clRed) + ' ' + IntToStr(clBtnFace)); end.")))
        << h.FirstMessage().toStdString();
    EXPECT_EQ(h.out.toStdString(), "255 -16777201\n");
    EXPECT_FALSE(h.Run(QStringLiteral("var b: TBitmap; begin b := TBitmap.Create; end.")));
    EXPECT_EQ(h.FirstMessage().toStdString(),
              "[Error] (1:28): Objects of class 'TBitmap' cannot be created by scripts");
}

TEST(CompileHook, ThatCompilesAgainIsRefused) {
    Host h;
    bool nested = true;
    h.registrations = [&](Engine& e) { nested = e.Compile(); };
    EXPECT_TRUE(h.Run(QStringLiteral("begin end.")));
    EXPECT_FALSE(nested);
}

TEST(CompileHook, RunsAtEveryCompilationBeforeTheScriptIsRead) {
    Host h;
    int calls = 0;
    h.registrations = [&](Engine&) { ++calls; };
    h.Run(QStringLiteral("begin end."));
    h.Run(QStringLiteral("begin x end."));
    EXPECT_EQ(calls, 2);
}

} // namespace
} // namespace kelvara::script::test
