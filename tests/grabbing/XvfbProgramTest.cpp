// kelvara on a real X server (Xvfb), driven with real key and mouse events by xdotool
// (tests/grabbing/xvfb/drive.sh): F5 grabs, a click on the video grabs the next frame, Alt+F4
// quits and the preferences are saved. The session bus is a private one where the test plays the
// desktop's screen saver service: the program inhibits it while it runs and lets it go at the
// end. Skipped when Xvfb or xdotool is missing.
#include "tests/platform/registry/HiveTestSupport.h"
#include "tests/taps/KelvaraInfoSupport.h"

#include <atomic>

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

// The desktop's screen saver, as far as the program uses it.
class TFakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    static constexpr uint Cookie = 4711;
    std::atomic<int> Inhibits{0}, Releases{0};
    std::atomic<uint> Released{0};

public slots:
    uint Inhibit(const QString&, const QString&) {
        ++Inhibits;
        return Cookie;
    }
    void UnInhibit(uint cookie) {
        Released = cookie;
        ++Releases;
    }
};

namespace {

using namespace kelvara::test;

// A session bus of the test's own, with the fake service answering on a thread of its own (the
// test's thread waits for the program meanwhile). Empty Address when dbus-daemon is missing.
class TPrivateSessionBus {
public:
    TPrivateSessionBus() {
        FDaemon.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--session"), QStringLiteral("--nofork"),
                       QStringLiteral("--print-address=1")});
        if (!FDaemon.waitForStarted(5000))
            return;
        while (!FDaemon.canReadLine() && FDaemon.waitForReadyRead(5000)) {
        }
        const QString address = QString::fromUtf8(FDaemon.readLine()).trimmed();
        QDBusConnection bus = QDBusConnection::connectToBus(address, kName);
        if (!bus.isConnected())
            return;
        FThread.start();
        Service.moveToThread(&FThread);
        if (bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver")) &&
            bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &Service,
                               QDBusConnection::ExportAllSlots))
            Address = address;
    }
    ~TPrivateSessionBus() {
        QDBusConnection::disconnectFromBus(kName);
        FThread.quit();
        FThread.wait();
        FDaemon.kill();
        FDaemon.waitForFinished();
    }

    QString Address;
    TFakeScreenSaver Service;

private:
    static inline const QString kName = QStringLiteral("kelvara-test-session");
    QProcess FDaemon;
    QThread FThread;
};

TEST(XvfbProgram, KeysAndClicksGrabAndAltF4QuitsSavingThePreferences) {
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("tape.avi"));
    ASSERT_EQ(RunTool(QStringLiteral("kelvara-mksample"),
                      {QStringLiteral("dv"), clip, QStringLiteral("--seconds"), QStringLiteral("2"),
                       QStringLiteral("--avi-type"), QStringLiteral("1")})
                  .ExitCode,
              0);
    const QString pictures = dir.filePath(QStringLiteral("pictures"));
    ASSERT_TRUE(QDir().mkpath(pictures));
    // Settings kept in the registry already, so that the close asks nothing.
    TemporaryHive hive;
    ASSERT_TRUE(hive.Hive()->CreateKey(QStringLiteral("Software\\Osric Taskel\\Kelvara")));
    ASSERT_TRUE(hive.Hive()->Flush());

    TPrivateSessionBus bus;
    TChildOptions options;
    options.Timeout = std::chrono::seconds(90);
    options.Environment.push_back({"QT_QPA_PLATFORM", std::nullopt});
    if (!bus.Address.isEmpty())
        options.Environment.push_back({"DBUS_SESSION_BUS_ADDRESS", bus.Address.toStdString()});
    const TChildRun run = RunChild(
        QStringLiteral(KELVARA_SOURCE_DIR "/tests/grabbing/xvfb/drive.sh"),
        {ToolPath(QStringLiteral("kelvara")), clip, pictures, QDir::currentPath()}, options);
    if (run.Exited() && run.ExitCode == 77)
        GTEST_SKIP() << "Xvfb or xdotool is not installed (scripts/install-deps.sh installs them)";
    ASSERT_TRUE(run.Exited()) << "timed out " << run.TimedOut << "\n" << run.Err;
    EXPECT_EQ(run.ExitCode, 0) << run.Err;

    // Numbered pictures: the key's and the click's, of two different frames.
    const QStringList written = QDir(pictures).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(written.size(), 2) << run.Err;
    const QImage first(QDir(pictures).filePath(written[0]));
    const QImage second(QDir(pictures).filePath(written[1]));
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.size(), second.size());
    EXPECT_NE(first, second) << "the step between the grabs changed nothing";

    QFile saved(hive.Path());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(saved.readAll()).contains(QStringLiteral("tape.avi")))
        << "the clip is the recent file of the saved preferences";

    if (bus.Address.isEmpty()) {
        ADD_FAILURE() << "no session bus of the test's own (dbus-daemon, from install-deps)";
        return;
    }
    EXPECT_EQ(bus.Service.Inhibits.load(), 1) << "the screen saver inhibited once";
    EXPECT_EQ(bus.Service.Releases.load(), 1) << "and let go at the end";
    EXPECT_EQ(bus.Service.Released.load(), TFakeScreenSaver::Cookie);
}

} // namespace

#include "XvfbProgramTest.moc"
