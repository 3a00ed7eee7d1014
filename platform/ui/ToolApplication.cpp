#include "platform/ui/ToolApplication.h"

#include "platform/ui/Application.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/GuardedApplication.h"

#include <cstdio>

#include <QCoreApplication>
#include <QGuiApplication>

namespace {

const char* gRemarksVariable = nullptr;

void ToolMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtFatalMsg && gRemarksVariable && !qEnvironmentVariableIsSet(gRemarksVariable))
        return;
    const QByteArray text = message.toLocal8Bit() + '\n';
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
    std::fflush(stderr);
}

} // namespace

void TToolApplication::PrepareEnvironment() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform would reach for an X display for OpenGL; tools draw without it.
    qputenv("QT_QPA_OFFSCREEN_NO_GLX", "1");
    qunsetenv("QT_QPA_PLATFORMTHEME");
    qunsetenv("QT_QPA_GENERIC_PLUGINS");
    qputenv("SDL_AUDIODRIVER", "dummy");
}

TToolApplication::TToolApplication(int argc, char** argv, const TToolStart& start)
    : FArguments(argc, argv), FProgram(argc > 0 && argv && argv[0] ? argv[0] : "kelvara-tool") {
    PrepareEnvironment();
    CaptureTypedArguments(argc, argv);
    gRemarksVariable = start.RemarksVariable;
    qInstallMessageHandler(ToolMessages);
    FArgv[0] = FProgram.data();
    switch (start.Toolkit) {
    case TToolkit::Core:
        FApp = std::make_unique<TGuardedApplication<QCoreApplication>>(FArgc, FArgv);
        break;
    case TToolkit::Gui:
        FApp = std::make_unique<TGuardedApplication<QGuiApplication>>(FArgc, FArgv);
        break;
    }
    FPresenter = DialogService().SetPresenter(AnswerHeadless);
}

TToolApplication::~TToolApplication() {
    DialogService().SetPresenter(std::move(FPresenter));
    FApp.reset();
    qInstallMessageHandler(nullptr);
    gRemarksVariable = nullptr;
}
