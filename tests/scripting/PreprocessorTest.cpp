// Conditional compilation and include files.
#include "tests/scripting/ScriptRunner.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kelvara::script::test {
namespace {

struct Outcome {
    bool compiled = false;
    QStringList messages;
    QString output;
};

Outcome Compile(const QString& text, const QStringList& defines = {}, bool preprocessor = true,
                const QString& mainFile = {}) {
    Outcome o;
    Engine engine;
    engine.SetUsePreProcessor(preprocessor);
    engine.SetDefines(defines);
    engine.SetMainFileName(mainFile);
    engine.SetCompileCallback([&o](Engine& e) { AddOutput(e, o.output); });
    engine.SetScript(text);
    o.compiled = engine.Compile();
    for (const auto& m : engine.CompilerMessages())
        o.messages << m.ToString();
    if (o.compiled)
        engine.Execute();
    return o;
}

void WriteFile(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

TEST(Conditionals, DefineUndefIfdefIfndefElseNest) {
    const Outcome o = Compile(QStringLiteral(
        "begin\n{$DEFINE A}\n{$IFDEF a} writeln('a'); {$ELSE} writeln('not a'); {$ENDIF}\n"
        "{$IFNDEF B} writeln('no b'); {$ENDIF}\n{$IFDEF A}{$IFDEF B} writeln('ab'); {$ELSE} "
        "writeln('a only'); {$ENDIF}{$ENDIF}\n{$UNDEF A}{$IFDEF A} writeln('still a'); {$ENDIF}\n"
        "{$IFDEF B}{$IFDEF A}{$ELSE} writeln('hidden'); {$ENDIF}{$ELSE} writeln('outer else'); "
        "{$ENDIF}\n(*$DEFINE C*){$IFDEF C} writeln('c'); {$ENDIF}\nend."));
    ASSERT_TRUE(o.compiled) << o.messages.join(u'\n').toStdString();
    EXPECT_EQ(o.output.toStdString(), "a\nno b\na only\nouter else\nc\n");
}

TEST(Conditionals, DefinesGivenByTheHost) {
    const QString text = QStringLiteral("begin {$IFDEF DEBUG} writeln('debug'); {$ELSE} "
                                        "writeln('release'); {$ENDIF} end.");
    EXPECT_EQ(Compile(text, {QStringLiteral("debug")}).output.toStdString(), "debug\n");
    EXPECT_EQ(Compile(text).output.toStdString(), "release\n");
}

TEST(Conditionals, SkippedTextMayHoldAnything) {
    const Outcome o = Compile(QStringLiteral("begin {$IFDEF NOPE} this is ' not even # pascal\n"
                                             "{$I missing.inc} '{$ENDIF}' {$ENDIF} writeln('ok'); "
                                             "end."));
    EXPECT_TRUE(o.compiled) << o.messages.join(u'\n').toStdString();
    EXPECT_EQ(o.output.toStdString(), "ok\n");
}

TEST(Conditionals, UnbalancedDirectivesAreErrors) {
    EXPECT_EQ(Compile(QStringLiteral("begin\n  {$IFDEF X}\nend.")).messages.value(0).toStdString(),
              "[Error] (2:3): Missing {$ENDIF}");
    EXPECT_EQ(Compile(QStringLiteral("begin {$ENDIF} end.")).messages.value(0).toStdString(),
              "[Error] (1:7): Misplaced {$ENDIF}");
    EXPECT_EQ(Compile(QStringLiteral("begin {$ELSE} end.")).messages.value(0).toStdString(),
              "[Error] (1:7): Misplaced {$ELSE}");
    EXPECT_EQ(Compile(QStringLiteral("begin {$IFDEF X}{$ELSE}{$ELSE}{$ENDIF} end."))
                  .messages.value(0)
                  .toStdString(),
              "[Error] (1:24): Misplaced {$ELSE}");
}

TEST(Conditionals, SwitchedOffDirectivesAreComments) {
    const Outcome o = Compile(QStringLiteral("begin {$IFDEF NOPE} writeln('seen'); {$ENDIF} "
                                             "{$I missing.inc} end."),
                              {}, false);
    ASSERT_TRUE(o.compiled) << o.messages.join(u'\n').toStdString();
    EXPECT_EQ(o.output.toStdString(), "seen\n");
}

TEST(Conditionals, OtherDirectivesAreIgnored) {
    const Outcome o = Compile(QStringLiteral("{$R+}{$MODE DELPHI}{$I+}begin writeln('x'); end."));
    EXPECT_TRUE(o.compiled) << o.messages.join(u'\n').toStdString();
}

class Includes : public testing::Test {
protected:
    QString Path(const QString& name) const { return FDir.filePath(name); }
    QTemporaryDir FDir;
};

TEST_F(Includes, AreFoundRelativeToTheIncludingFile) {
    WriteFile(Path("lib/a.inc"), "{$I b.inc}\nprocedure A; begin writeln('a'); B; end;\n");
    WriteFile(Path("lib/b.inc"), "procedure B; begin writeln('b'); end;\n");
    const QString main =
        QStringLiteral("{$I lib/a.inc}\n{$INCLUDE 'lib/b2.inc'}\nbegin A; C; end.");
    WriteFile(Path("lib/b2.inc"), "procedure C; begin writeln('c'); end;");
    const Outcome o = Compile(main, {}, true, Path("main.txt"));
    ASSERT_TRUE(o.compiled) << o.messages.join(u'\n').toStdString();
    EXPECT_EQ(o.output.toStdString(), "a\nb\nc\n");
}

TEST_F(Includes, ErrorsNameTheIncludedFileAndItsPosition) {
    WriteFile(Path("bad.inc"), "procedure P;\nbegin\n  Nope;\nend;\n");
    const Outcome o = Compile(QStringLiteral("{$I bad.inc}\nbegin end."), {}, true, Path("m.txt"));
    ASSERT_FALSE(o.compiled);
    EXPECT_EQ(o.messages.value(0).toStdString(), "[Error] bad.inc(3:3): Unknown identifier 'Nope'");
}

TEST_F(Includes, AMissingFileIsAnError) {
    const Outcome o =
        Compile(QStringLiteral("begin\n  {$I nowhere.inc}\nend."), {}, true, Path("m.txt"));
    ASSERT_FALSE(o.compiled);
    EXPECT_TRUE(o.messages.value(0).startsWith(
        QStringLiteral("[Error] (2:3): Cannot open include file 'nowhere.inc'")))
        << o.messages.value(0).toStdString();
}

TEST_F(Includes, RecursionStopsAtTheDepthLimit) {
    WriteFile(Path("self.inc"), "{$I self.inc}\n");
    const Outcome o = Compile(QStringLiteral("{$I self.inc}\nbegin end."), {}, true, Path("m.txt"));
    ASSERT_FALSE(o.compiled);
    EXPECT_TRUE(o.messages.value(0).endsWith(QStringLiteral("Include files nested too deeply")))
        << o.messages.value(0).toStdString();
}

TEST_F(Includes, ReadUtf16WithBomAndLatin1) {
    QByteArray utf16("\xFF\xFE", 2);
    const QString text = QStringLiteral("const U = '\u00e9t\u00e9';");
    utf16 += QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    WriteFile(Path("u16.inc"), utf16);
    WriteFile(Path("latin.inc"), "const L = '\xe9';");
    const Outcome o =
        Compile(QStringLiteral("{$I u16.inc}{$I latin.inc}\nbegin writeln(U + L); end."), {}, true,
                Path("m.txt"));
    ASSERT_TRUE(o.compiled) << o.messages.join(u'\n').toStdString();
    EXPECT_EQ(o.output, QStringLiteral("\u00e9t\u00e9\u00e9\n"));
}

} // namespace
} // namespace kelvara::script::test
