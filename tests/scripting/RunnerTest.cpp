// The kelvara-script tool: script output on stdout, message lines on stderr, exit status.
#include "tests/support/TestPaths.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun RunTool(const QStringList& args) {
    QProcess p;
    p.start(kelvara::test::ToolPath(QStringLiteral("kelvara-script")), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

class Runner : public testing::Test {
protected:
    QString Write(const QString& name, const QByteArray& text) {
        const QString path = FDir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return path;
    }
    QTemporaryDir FDir;
};

TEST_F(Runner, RunsAScriptWithTheHostsBuiltInsAndIncludes) {
    Write(QStringLiteral("lib/greet.inc"),
          "function Greeting: string; begin Result := 'hi'; end;\n");
    const QString script = Write(
        QStringLiteral("main.txt"),
        "{$I lib/greet.inc}\nbegin\n  write(Greeting + ' ');\n  writeln(extractfileext('a.jpg'));\n"
        "  {$IFDEF EXTRA} writeln('extra'); {$ENDIF}\n  showmessage('box');\nend.\n");
    const ToolRun plain = RunTool({script});
    EXPECT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    EXPECT_EQ(plain.out.toStdString(), "hi .jpg\nbox\n");
    EXPECT_EQ(plain.err.toStdString(),
              "*** Compilation succeeded ***\n*** Succesfully Executed ***\n");
    const ToolRun defined = RunTool({script, QStringLiteral("--define"), QStringLiteral("extra")});
    EXPECT_EQ(defined.out.toStdString(), "hi .jpg\nextra\nbox\n");
}

TEST_F(Runner, AFailedCompilationNamesLineAndColumn) {
    const ToolRun r = RunTool({Write(QStringLiteral("bad.txt"), "begin\n  writeln(1);\nend.\n")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.toStdString(),
              "[Error] (2:11): Type mismatch: 'String' expected but 'Integer' found\n"
              "### Compilation Failed\n");
}

TEST_F(Runner, AFailedRunGivesTheErrorWithItsPosition) {
    const ToolRun r =
        RunTool({Write(QStringLiteral("run.txt"),
                       "begin\n  writeln('before');\n  forcedirectories('');\nend.\n")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out.toStdString(), "before\n");
    EXPECT_EQ(r.err.toStdString(), "*** Compilation succeeded ***\n"
                                   "### Error while executing: Unable to create directory (line 3, "
                                   "column 3)\n");
}

TEST_F(Runner, CommandLineMistakes) {
    EXPECT_EQ(RunTool({}).exitCode, 64);
    EXPECT_EQ(RunTool({QStringLiteral("a"), QStringLiteral("b")}).exitCode, 64);
    EXPECT_EQ(RunTool({QStringLiteral("--bogus")}).exitCode, 64);
    EXPECT_EQ(RunTool({FDir.filePath(QStringLiteral("none.txt"))}).exitCode, 66);
    const ToolRun help = RunTool({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("usage: kelvara-script FILE")));
}

} // namespace
