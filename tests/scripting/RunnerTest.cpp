// The kelvara-script tool: script output on stdout, message lines on stderr, exit status; its
// arguments as typed, no display needed, no wait on a file that is not a regular one.
#include "tests/support/ChildProcess.h"
#include "tests/support/TestPaths.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun RunTool(const QStringList& args) {
    const kelvara::test::TChildRun run =
        kelvara::test::RunChild(kelvara::test::ToolPath(QStringLiteral("kelvara-script")), args);
    EXPECT_TRUE(run.Exited()) << run.Err;
    return {run.ExitCode, QString::fromUtf8(run.Out), QString::fromUtf8(run.Err)};
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

TEST_F(Runner, ArgumentsAreReadAsTypedWithoutADisplay) {
    const std::string tool =
        kelvara::test::ToolPath(QStringLiteral("kelvara-script")).toStdString();
    // A folder and a script whose names are no UTF-8; the include is found beside the script.
    const std::string folder = FDir.path().toStdString() + "/f\xff";
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    Write(QStringLiteral("plain.txt"), "{$I part.inc}\nbegin\n  writeln(Part);\nend.\n");
    ASSERT_EQ(std::rename(FDir.filePath(QStringLiteral("plain.txt")).toStdString().c_str(),
                          (folder + "/main.txt").c_str()),
              0);
    Write(QStringLiteral("part.inc"), "function Part: string; begin Result := 'part'; end;\n");
    ASSERT_EQ(std::rename(FDir.filePath(QStringLiteral("part.inc")).toStdString().c_str(),
                          (folder + "/part.inc").c_str()),
              0);
    kelvara::test::TChildOptions stale;
    stale.Environment = {{"DISPLAY", ":77"}, {"QT_QPA_PLATFORM", "no-such-platform"}};
    const kelvara::test::TChildRun ran =
        kelvara::test::RunChild(tool, {folder + "/main.txt"}, stale);
    EXPECT_EQ(ran.ExitCode, 0) << ran.Err;
    EXPECT_EQ(ran.Out, "part\n");
    const kelvara::test::TChildRun option =
        kelvara::test::RunChild(tool, {"-platform", "x"}, stale);
    EXPECT_EQ(option.ExitCode, 64);
    EXPECT_NE(option.Err.find("unknown option -platform"), std::string::npos) << option.Err;
    // Reading a FIFO would wait for a writer that never comes.
    const std::string fifo = FDir.path().toStdString() + "/pipe.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const kelvara::test::TChildRun pipe = kelvara::test::RunChild(tool, {fifo});
    EXPECT_FALSE(pipe.TimedOut);
    EXPECT_EQ(pipe.ExitCode, 66);
    EXPECT_NE(pipe.Err.find("not a regular file"), std::string::npos) << pipe.Err;
}

} // namespace
