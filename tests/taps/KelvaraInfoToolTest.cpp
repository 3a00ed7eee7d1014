// kelvara-info run on clips made by kelvara-mksample: the DV dates and time codes it reports
// are the ones written, frame by frame, for PAL and NTSC, raw DV and type-1 and type-2 AVI
// through both sources; scenes, the three outputs, and the exit codes and messages for files it
// cannot show. It needs no display whatever the environment names, reads its arguments as typed
// and fails a run whose report cannot be written.
#include "taps/uMediaDescriptions.h"
#include "tests/support/ChildProcess.h"
#include "tests/taps/KelvaraInfoSupport.h"

#include <filesystem>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

class KelvaraInfo : public testing::Test {
protected:
    QString Path(const QString& name) const { return dir.filePath(name); }
    // Makes a clip with kelvara-mksample; its parameters.
    std::map<QString, QString> Make(const QStringList& args) {
        const TRun r = RunTool(QStringLiteral("kelvara-mksample"), args);
        EXPECT_EQ(r.ExitCode, 0) << args.join(u' ').toStdString() << ": " << r.Err.toStdString();
        return Params(r);
    }
    QTemporaryDir dir;
};

struct TCsvRow {
    QString Frame, Position, Date, Timecode;
};

std::vector<TCsvRow> CsvRows(const QString& out) {
    std::vector<TCsvRow> rows;
    QStringList lines = out.split(u'\n', Qt::SkipEmptyParts);
    if (lines.isEmpty() ||
        lines.takeFirst() != QStringLiteral("frame,position,recording_date,timecode"))
        return rows;
    for (const QString& line : lines) {
        const QStringList f = line.split(u',');
        if (f.size() >= 4)
            rows.push_back({f[0], f[1], f[2], f[3]});
    }
    return rows;
}

struct TDVCase {
    const char* Name;
    bool Pal;
    const char* File;
    int AviType; // 0: raw DV
    const char* Source;
    const char* Date;
    const char* Timecode;
};

// Dates that pass midnight and the end of a year, time codes that pass the hour, frames without
// a time code or a date: every frame as written.
TEST_F(KelvaraInfo, DVDatesAndTimecodesAreTheOnesWrittenFrameByFrame) {
    const TDVCase cases[] = {
        {"PAL raw", true, "p.dv", 0, "auto", "2005-12-31T23:59:59", "00:59:59:20"},
        {"PAL type 1", true, "p1.avi", 1, "auto", "1999-02-28T23:59:59", "10:00:00:00"},
        {"PAL type 1 via LAV", true, "p1l.avi", 1, "lav", "2010-06-30T12:00:00", "01:02:03:04"},
        {"PAL type 2", true, "p2.avi", 2, "auto", "2038-12-31T23:59:59", "23:59:59:24"},
        {"NTSC raw", false, "n.dv", 0, "auto", "2000-02-29T23:59:59", "00:00:59:29"},
        {"NTSC type 1", false, "n1.avi", 1, "auto", "1970-01-01T00:00:00", "05:06:07:08"},
        {"NTSC type 2", false, "n2.avi", 2, "auto", "2004-02-29T23:59:59", "12:34:56:10"},
        {"NTSC type 2 via LAV", false, "n2l.avi", 2, "lav", "2001-09-08T07:06:05", "00:00:00:00"},
    };
    const QString removedTimecode = QStringLiteral("3,10-12");
    const QString removedDate = QStringLiteral("5,30");
    for (const TDVCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QStringList args{QStringLiteral("dv"),
                         Path(QString::fromUtf8(c.File)),
                         QStringLiteral("--system"),
                         c.Pal ? QStringLiteral("pal") : QStringLiteral("ntsc"),
                         QStringLiteral("--date"),
                         QString::fromUtf8(c.Date),
                         QStringLiteral("--timecode"),
                         QString::fromUtf8(c.Timecode),
                         QStringLiteral("--seconds"),
                         QStringLiteral("1.5"),
                         QStringLiteral("--remove-timecode"),
                         removedTimecode,
                         QStringLiteral("--remove-date"),
                         removedDate};
        if (c.AviType)
            args << QStringLiteral("--avi-type") << QString::number(c.AviType);
        const std::map<QString, QString> made = Make(args);
        const int64_t frames = made.at(QStringLiteral("frames")).toLongLong();
        ASSERT_GT(frames, 30);
        const TRun r = RunTool(QStringLiteral("kelvara-info"),
                               {QStringLiteral("--csv"), QStringLiteral("--source"),
                                QString::fromUtf8(c.Source), Path(QString::fromUtf8(c.File))});
        ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
        const std::vector<TCsvRow> rows = CsvRows(r.Out);
        ASSERT_EQ(int64_t(rows.size()), frames);
        const int64_t duration = c.Pal ? 400000 : 333667;
        for (int64_t n = 0; n < frames; ++n) {
            SCOPED_TRACE(testing::Message() << "frame " << n);
            const TCsvRow& row = rows[size_t(n)];
            EXPECT_EQ(row.Frame, QString::number(n));
            EXPECT_EQ(row.Position, FormatPositionText(duration, n * duration));
            const bool noTimecode = n == 3 || (n >= 10 && n <= 12);
            const bool noDate = n == 5 || n == 30;
            EXPECT_EQ(row.Timecode, noTimecode
                                        ? QString()
                                        : DVClipTimecode(QString::fromUtf8(c.Timecode), n, c.Pal));
            EXPECT_EQ(row.Date,
                      noDate ? QString() : DVClipDate(QString::fromUtf8(c.Date), n, c.Pal));
        }
    }
}

TEST_F(KelvaraInfo, TextAndJsonDescribeTheStreams) {
    Make({QStringLiteral("dv"), Path(QStringLiteral("t.avi")), QStringLiteral("--system"),
          QStringLiteral("pal"), QStringLiteral("--seconds"), QStringLiteral("0.4"),
          QStringLiteral("--avi-type"), QStringLiteral("2"), QStringLiteral("--date"),
          QStringLiteral("2005-12-25T15:04:05"), QStringLiteral("--timecode"),
          QStringLiteral("01:02:03:04")});
    const TRun text = RunTool(QStringLiteral("kelvara-info"), {Path(QStringLiteral("t.avi"))});
    ASSERT_EQ(text.ExitCode, 0) << text.Err.toStdString();
    EXPECT_TRUE(
        text.Out.contains(QStringLiteral("Video:  DV Type 2 Pal (4x3) - 720x576 - 25 fps\n")))
        << text.Out.toStdString();
    EXPECT_TRUE(text.Out.contains(QStringLiteral("Audio:  PCM 48000Hz 16bits  stereo\n")))
        << text.Out.toStdString();
    // The decoder the platform chose for DV, through the program's decoder manager.
    EXPECT_TRUE(text.Out.contains(QStringLiteral("Decoder: DV Video Decoder\n")))
        << text.Out.toStdString();
    EXPECT_TRUE(text.Out.contains(QStringLiteral("Frames: 10\n")));
    EXPECT_TRUE(text.Out.contains(
        QStringLiteral("0       0:00:00:00    2005-12-25T15:04:05  1:02:03:04\n")))
        << text.Out.toStdString();
    const TRun json = RunTool(QStringLiteral("kelvara-info"),
                              {QStringLiteral("--json"), Path(QStringLiteral("t.avi"))});
    ASSERT_EQ(json.ExitCode, 0) << json.Err.toStdString();
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json.Out.toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << json.Out.toStdString();
    const QJsonObject o = doc.object();
    EXPECT_EQ(o[QStringLiteral("frame_duration")].toInteger(), 400000);
    EXPECT_EQ(o[QStringLiteral("audio")].toString(), QStringLiteral("PCM 48000Hz 16bits  stereo"));
    EXPECT_EQ(o[QStringLiteral("decoder")].toString(), QStringLiteral("DV Video Decoder"));
    const QJsonArray frames = o[QStringLiteral("frames")].toArray();
    ASSERT_EQ(frames.size(), 10);
    EXPECT_EQ(frames[9].toObject()[QStringLiteral("timecode")].toString(),
              QStringLiteral("1:02:03:13"));
    EXPECT_EQ(o[QStringLiteral("scenes")].toArray().size(), 1);
}

// Two recordings one after the other on the same tape: two scenes.
TEST_F(KelvaraInfo, ScenesSplitWhereTheRecordingDateJumps) {
    Make({QStringLiteral("dv"), Path(QStringLiteral("a.dv")), QStringLiteral("--system"),
          QStringLiteral("pal"), QStringLiteral("--seconds"), QStringLiteral("1.2"),
          QStringLiteral("--date"), QStringLiteral("2005-12-25T15:04:05")});
    Make({QStringLiteral("dv"), Path(QStringLiteral("b.dv")), QStringLiteral("--system"),
          QStringLiteral("pal"), QStringLiteral("--seconds"), QStringLiteral("0.8"),
          QStringLiteral("--date"), QStringLiteral("2004-01-01T10:00:00")});
    QFile tape(Path(QStringLiteral("tape.dv")));
    ASSERT_TRUE(tape.open(QIODevice::WriteOnly));
    for (const char* part : {"a.dv", "b.dv"}) {
        QFile f(Path(QString::fromUtf8(part)));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        tape.write(f.readAll());
    }
    tape.close();
    const TRun scenes = RunTool(QStringLiteral("kelvara-info"),
                                {QStringLiteral("--scenes"), Path(QStringLiteral("tape.dv"))});
    ASSERT_EQ(scenes.ExitCode, 0) << scenes.Err.toStdString();
    EXPECT_TRUE(scenes.Out.contains(QStringLiteral("Scenes: 2\n"))) << scenes.Out.toStdString();
    EXPECT_TRUE(scenes.Out.contains(
        QStringLiteral("1      0-29            0:00:00:00 - 0:00:01:04   2005-12-25T15:04:05 - "
                       "2005-12-25T15:04:06\n")))
        << scenes.Out.toStdString();
    EXPECT_TRUE(scenes.Out.contains(
        QStringLiteral("2      30-49           0:00:01:05 - 0:00:01:24   2004-01-01T10:00:00 - "
                       "2004-01-01T10:00:00\n")))
        << scenes.Out.toStdString();
    const TRun csv = RunTool(
        QStringLiteral("kelvara-info"),
        {QStringLiteral("--scenes"), QStringLiteral("--csv"), Path(QStringLiteral("tape.dv"))});
    EXPECT_EQ(csv.Out.split(u'\n', Qt::SkipEmptyParts).size(), 3);
    const TRun first = RunTool(QStringLiteral("kelvara-info"),
                               {QStringLiteral("--frames"), QStringLiteral("4"),
                                QStringLiteral("--csv"), Path(QStringLiteral("tape.dv"))});
    ASSERT_EQ(first.ExitCode, 0) << first.Err.toStdString();
    EXPECT_EQ(CsvRows(first.Out).size(), 4u);
}

TEST_F(KelvaraInfo, FilesItCannotShowGiveAnExitCodeAndAMessage) {
    Make({QStringLiteral("empty"), Path(QStringLiteral("empty.avi"))});
    Make({QStringLiteral("random"), Path(QStringLiteral("noise.mpg")), QStringLiteral("--bytes"),
          QStringLiteral("200000")});
    Make({QStringLiteral("wav"), Path(QStringLiteral("sound.wav")), QStringLiteral("--seconds"),
          QStringLiteral("0.5")});
    Make({QStringLiteral("audio"), Path(QStringLiteral("sound.mp2")), QStringLiteral("--seconds"),
          QStringLiteral("0.5")});
    QDir(dir.path()).mkdir(QStringLiteral("folder.avi"));
    struct TCase {
        QStringList Args;
        int Exit;
        QString Message;
    };
    const std::vector<TCase> cases = {
        {{Path(QStringLiteral("missing.dv"))},
         2,
         Path(QStringLiteral("missing.dv")) + ": no such file"},
        {{Path(QStringLiteral("empty.avi"))},
         3,
         QStringLiteral("not a media file that can be read")},
        {{Path(QStringLiteral("noise.mpg"))},
         3,
         QStringLiteral("not a media file that can be read")},
        {{Path(QStringLiteral("folder.avi"))}, 3, QStringLiteral("is a folder")},
        {{Path(QStringLiteral("sound.wav"))}, 4, QStringLiteral("the file has no video stream")},
        {{Path(QStringLiteral("sound.mp2"))}, 4, QStringLiteral("the file has no video stream")},
        {{QStringLiteral("--csv"), QStringLiteral("--json"), QStringLiteral("x")},
         1,
         QStringLiteral("--csv and --json cannot be combined")},
        {{}, 1, QStringLiteral("no file given")},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Args.join(u' ').toStdString());
        const TRun r = RunTool(QStringLiteral("kelvara-info"), c.Args);
        EXPECT_EQ(r.ExitCode, c.Exit);
        EXPECT_TRUE(r.Err.startsWith(QStringLiteral("kelvara-info: "))) << r.Err.toStdString();
        EXPECT_TRUE(r.Err.contains(c.Message)) << r.Err.toStdString();
        EXPECT_TRUE(r.Out.isEmpty()) << r.Out.toStdString();
    }
    const TRun help = RunTool(QStringLiteral("kelvara-info"), {QStringLiteral("--help")});
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_TRUE(help.Out.startsWith(QStringLiteral("Usage: kelvara-info")));
}

// A stale display over ssh, a compositor that is gone, a platform without a plugin or a theme
// that needs a display: the tool runs all the same.
TEST_F(KelvaraInfo, NeedsNoDisplayWhateverTheEnvironmentNames) {
    Make({QStringLiteral("dv"), Path(QStringLiteral("d.dv")), QStringLiteral("--seconds"),
          QStringLiteral("0.2")});
    const std::string clip = Path(QStringLiteral("d.dv")).toStdString();
    using TEnv = std::vector<std::pair<std::string, std::optional<std::string>>>;
    const TEnv environments[] = {
        {{"DISPLAY", ":77"}, {"QT_QPA_PLATFORM", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}},
        {{"WAYLAND_DISPLAY", "gone-0"}, {"QT_QPA_PLATFORM", std::nullopt}},
        {{"QT_QPA_PLATFORM", "no-such-platform"}},
        {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ":77"}, {"QT_QPA_PLATFORMTHEME", "gtk3"}},
    };
    for (const TEnv& env : environments) {
        SCOPED_TRACE(env.front().first + "=" + env.front().second.value_or("(unset)"));
        TChildOptions options;
        options.Environment = env;
        const TChildRun help =
            RunChild(ToolPath(QStringLiteral("kelvara-info")).toStdString(), {"--help"}, options);
        EXPECT_TRUE(help.Exited()) << "signal " << help.Signal << ": " << help.Err;
        EXPECT_EQ(help.ExitCode, 0) << help.Err;
        const TChildRun run = RunChild(ToolPath(QStringLiteral("kelvara-info")).toStdString(),
                                       {"--csv", clip}, options);
        EXPECT_EQ(run.ExitCode, 0) << run.Err;
        EXPECT_EQ(CsvRows(QString::fromStdString(run.Out)).size(), 5u);
    }
}

// The toolkit's own options are the tool's arguments like any other, and a file name reaches the
// file as the bytes typed, also when they are no UTF-8.
TEST_F(KelvaraInfo, ArgumentsAreReadAsTyped) {
    Make({QStringLiteral("dv"), Path(QStringLiteral("d.dv")), QStringLiteral("--seconds"),
          QStringLiteral("0.2")});
    const std::string tool = ToolPath(QStringLiteral("kelvara-info")).toStdString();
    const std::string clip = Path(QStringLiteral("d.dv")).toStdString();
    struct TCase {
        std::vector<std::string> Args;
        int Exit;
        std::string Message;
    };
    const TCase cases[] = {
        {{"-platform", "x.dv"}, 1, "unknown option -platform"},
        {{"--csv", clip, "-reverse"}, 1, "unknown option -reverse"},
        {{"-style", "fusion", clip}, 1, "unknown option -style"},
        {{"--frames", "2", "-session", "s", clip}, 1, "unknown option -session"},
        {{"--", "-reverse"}, 2, "-reverse: no such file"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Message);
        const TChildRun r = RunChild(tool, c.Args);
        EXPECT_TRUE(r.Exited()) << "signal " << r.Signal;
        EXPECT_EQ(r.ExitCode, c.Exit);
        EXPECT_NE(r.Err.find("kelvara-info: " + c.Message), std::string::npos) << r.Err;
    }
    // Byte 0xFF is no UTF-8; a file of the name that the toolkit would make of it holds nothing.
    const std::string named = dir.path().toStdString() + "/tape\xff.dv";
    std::filesystem::copy_file(Path(QStringLiteral("d.dv")).toStdString(), named);
    QFile decoy(QFile::decodeName(QByteArray::fromStdString(named)));
    ASSERT_TRUE(decoy.open(QIODevice::WriteOnly));
    decoy.close();
    const TChildRun csv = RunChild(tool, {"--csv", named});
    EXPECT_EQ(csv.ExitCode, 0) << csv.Err;
    EXPECT_EQ(CsvRows(QString::fromStdString(csv.Out)).size(), 5u);
    const TChildRun json = RunChild(tool, {"--json", "--frames", "1", named});
    ASSERT_EQ(json.ExitCode, 0) << json.Err;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json.Out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << json.Out;
    EXPECT_TRUE(
        doc.object()[QStringLiteral("file")].toString().endsWith(QStringLiteral("tape\uFFFD.dv")));
}

TEST_F(KelvaraInfo, AReportThatCannotBeWrittenFailsTheRun) {
    Make({QStringLiteral("dv"), Path(QStringLiteral("d.dv")), QStringLiteral("--seconds"),
          QStringLiteral("0.2")});
    TChildOptions options;
    options.StdoutPath = "/dev/full";
    for (const char* format : {"--csv", "--json", "--scenes"}) {
        SCOPED_TRACE(format);
        const TChildRun r = RunChild(ToolPath(QStringLiteral("kelvara-info")).toStdString(),
                                     {format, Path(QStringLiteral("d.dv")).toStdString()}, options);
        EXPECT_EQ(r.ExitCode, 9);
        EXPECT_NE(r.Err.find("kelvara-info: cannot write the report (No space left on device)"),
                  std::string::npos)
            << r.Err;
    }
}

} // namespace
