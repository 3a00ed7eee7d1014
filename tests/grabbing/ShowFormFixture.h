#pragma once
// The main window on the offscreen platform for tests: a window of its own per test, shown at a
// fixed size with no preferences of other tests, the clips it opens made on first use by
// kelvara-mksample, and the helpers that read what it shows.
#include "commands/uCheckAction.h"
#include "commands/uNopeAction.h"
#include "grabbing/main.h"
#include "platform/ui/Application.h"
#include "platform/ui/ProcessMessages.h"
#include "presentation/uVideoMan.h"
#include "shell/uFichierMan.h"
#include "tests/platform/filters/support/ReferenceDecoder.h"
#include "tests/platform/registry/HiveTestSupport.h"
#include "tests/taps/KelvaraInfoSupport.h"
#include "tests/taps/ShownNumber.h"

#include <cstring>

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kelvara::test {

// A picture of the window or a file, as rows of 32-bit pixels for the reference decoder's
// comparisons.
inline TRgbImage RgbOf(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    TRgbImage rgb;
    rgb.width = image.width();
    rgb.height = image.height();
    rgb.pixels.resize(size_t(rgb.width) * size_t(rgb.height) * 4);
    for (int y = 0; y < rgb.height; ++y)
        std::memcpy(rgb.pixels.data() + size_t(y) * size_t(rgb.width) * 4, image.constScanLine(y),
                    size_t(rgb.width) * 4);
    return rgb;
}

class ShowFormFixture : public testing::Test {
protected:
    static void SetUpTestSuite() { clips = new QTemporaryDir; }
    static void TearDownTestSuite() {
        delete clips;
        clips = nullptr;
    }
    // The clip of that name, made on first use: numbers.mp4 (H.264 and AAC, 3 s, each frame
    // showing its number), tape.avi (DV type 1 with sound), wide.mpg (MPEG-2 PAL 16:9),
    // sound.mp2 (sound only), broken.avi (random bytes).
    static QString Clip(const char* name) {
        const QString path = clips->filePath(QString::fromLatin1(name));
        if (!QFile::exists(path))
            Make(path, Recipe(QString::fromLatin1(name)));
        return path;
    }
    static QStringList Recipe(const QString& name) {
        if (name == QLatin1String("numbers.mp4"))
            return {"numbers", "--seconds", "3"};
        if (name == QLatin1String("tape.avi"))
            return {"dv", "--seconds", "2", "--avi-type", "1"};
        if (name == QLatin1String("wide.mpg"))
            return {"mpeg2", "--seconds", "2"};
        if (name == QLatin1String("sound.mp2"))
            return {"audio", "--seconds", "2"};
        return {"random", "--bytes", "40000"};
    }
    static void Make(const QString& path, QStringList args) {
        args.insert(1, path);
        const TRun r = RunTool(QStringLiteral("kelvara-mksample"), args);
        ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    }

    void SetUp() override {
        Application().SetParamStrings(QStringList{});
        form = std::make_unique<TShowForm>();
        form->resize(1100, 780);
        form->show();
        ProcessMessages();
    }
    void TearDown() override {
        form->close();
        form.reset();
        Application().SetParamStrings(std::nullopt);
    }

    static bool WaitFor(const std::function<bool()>& done, int ms = 8000) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms)
            ProcessMessages();
        return done();
    }
    void Open(const char* name) {
        form->ficman->OpenFile(Clip(name));
        ProcessMessages();
    }
    int64_t Shown() const { return ShownNumber(form->vidman->Renderer()); }
    // The number read from the window's own pixels where the video is drawn.
    int64_t OnScreen() const {
        const TRect r = form->VideoRect();
        const QImage image =
            form->videoPanel->grab(QRect(r.Left, r.Top, r.Width(), r.Height())).toImage();
        return ReadFrameNumber(image.width(), image.height(),
                               [&](int x, int y) { return qGray(image.pixel(x, y)); });
    }
    void Shot(const char* state) const {
        form->grab().save(QStringLiteral("showform-%1.png").arg(QString::fromLatin1(state)));
    }
    TCustomAbstractAction* Action(const char* id) const {
        return form->FindAnyAction(QString::fromLatin1(id));
    }
    bool Checked(const char* id) const {
        auto* a = dynamic_cast<TCheckAction*>(Action(id));
        return a && a->Checked();
    }
    void Check(const char* id, bool on) {
        auto* a = dynamic_cast<TCheckAction*>(Action(id));
        ASSERT_TRUE(a) << id;
        a->SetChecked(on);
        ProcessMessages();
    }
    void Run(const char* id) {
        auto* a = dynamic_cast<TNopeAction*>(Action(id));
        ASSERT_TRUE(a) << id;
        a->Execute();
        ProcessMessages();
    }

    static inline QTemporaryDir* clips = nullptr;
    TemporaryHive hive; // no preferences of other tests are found
    std::unique_ptr<TShowForm> form;
};

} // namespace kelvara::test
