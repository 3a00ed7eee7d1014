// A series of grabs killed with SIGKILL at moments spread over the run leaves only whole
// pictures: every picture file in the folder decodes, with its full size, and nothing but
// hidden temporary files is left half written.
#include "tests/grabbing/ShowFormFixture.h"

#include <QDir>

namespace {

using namespace kelvara::test;

class KillDuringGrabs : public ShowFormFixture {};

TEST_F(KillDuringGrabs, OnlyWholePicturesAreLeft) {
    const QString clip = Clip("numbers.mp4");
    int killedWithPictures = 0;
    // Kill times from early (while opening) to late in the series, for both formats.
    const int delaysMs[] = {150, 400, 700, 1000, 1300, 1700};
    for (size_t i = 0; i < std::size(delaysMs); ++i) {
        QTemporaryDir pictures;
        const bool jpeg = i % 2 == 0;
        TChildOptions options;
        options.Timeout = std::chrono::milliseconds(delaysMs[i]);
        options.Environment.push_back({"SDL_AUDIODRIVER", "dummy"});
        const TChildRun run = RunChild(
            ToolPath(QStringLiteral("kelvara")),
            {QStringLiteral("/o=") + clip, QStringLiteral("/savfold=") + pictures.path(),
             jpeg ? QStringLiteral("/ej") : QStringLiteral("/eb"), QStringLiteral("/an"),
             QStringLiteral("/idelai=1"), QStringLiteral("/iunit=0"), QStringLiteral("/inter"),
             QStringLiteral("/quit")},
            options);
        ASSERT_TRUE(run.Started);
        const QStringList files = QDir(pictures.path()).entryList(QDir::Files, QDir::Name);
        for (const QString& name : files) {
            const QString path = pictures.filePath(name);
            const QImage image(path);
            EXPECT_FALSE(image.isNull()) << name.toStdString() << " after " << delaysMs[i] << " ms";
            EXPECT_EQ(image.size(), QSize(640, 360)) << name.toStdString();
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QByteArray bytes = f.readAll();
            if (jpeg)
                EXPECT_TRUE(bytes.endsWith(QByteArray("\xFF\xD9", 2))) << name.toStdString();
            else
                EXPECT_EQ(bytes.size(), 54 + 640 * 3 * 360) << name.toStdString();
        }
        if (run.TimedOut && !files.isEmpty())
            ++killedWithPictures;
    }
    EXPECT_GT(killedWithPictures, 0) << "no run was killed in the middle of its series";
}

} // namespace
