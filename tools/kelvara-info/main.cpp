// kelvara-info FILE: plays the video of a file without a clock through the program's own taps
// and frame keeper, and prints its descriptions and, per frame shown, the position, the DV
// recording date and the time code (or the scenes of a DV tape). See InfoOptions.h.
#include "InfoGraph.h"
#include "InfoOptions.h"
#include "InfoReport.h"

#include <cstdio>
#include <string>
#include <vector>

#include <QApplication>

extern "C" {
#include <libavutil/log.h>
}

namespace {

void Print(std::FILE* to, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), to);
    std::fflush(to);
}

void Fail(const std::string& message) {
    Print(stderr, "kelvara-info: " + message + "\n");
}

// The toolkit's own remarks (a missing runtime folder, ...) would mix with the tool's messages;
// they are shown only when KELVARA_INFO_VERBOSE is set.
void QuietToolkit(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg || qEnvironmentVariableIsSet("KELVARA_INFO_VERBOSE"))
        Print(stderr, message.toStdString() + "\n");
}

// Without a display the tool runs offscreen; it never makes a sound.
void PrepareEnvironment() {
    qInstallMessageHandler(QuietToolkit);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY") &&
        !qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_AUDIODRIVER", "dummy");
    av_log_set_level(qEnvironmentVariableIsSet("KELVARA_INFO_VERBOSE") ? AV_LOG_WARNING
                                                                       : AV_LOG_QUIET);
}

std::string Report(const TInfoResult& result, const TInfoOptions& options) {
    switch (options.Format) {
    case TInfoFormat::Csv:
        return CsvReport(result, options.Scenes);
    case TInfoFormat::Json:
        return JsonReport(result);
    case TInfoFormat::Text:
        break;
    }
    return TextReport(result, options.Scenes);
}

} // namespace

int main(int argc, char** argv) {
    PrepareEnvironment();
    QApplication app(argc, argv);
    std::vector<std::string> args;
    for (const QString& arg : app.arguments().mid(1))
        args.push_back(arg.toStdString());
    const TInfoOptionsResult parsed = ParseInfoOptions(args);
    if (!parsed.Options) {
        Fail(parsed.Error);
        Print(stderr, "Try kelvara-info --help\n");
        return int(TInfoExit::Usage);
    }
    const TInfoOptions& options = *parsed.Options;
    if (options.Help) {
        Print(stdout, InfoUsageText());
        return 0;
    }
    TInfoGraph graph(options);
    TInfoStatus status = graph.Build();
    if (!status.Ok()) {
        Fail(status.Message);
        return int(status.Code);
    }
    status = graph.Play();
    if (!status.Ok() && graph.Result().Frames.empty()) {
        Fail(status.Message);
        return int(status.Code);
    }
    Print(stdout, Report(graph.Result(), options));
    if (!status.Ok()) {
        Fail(status.Message);
        return int(status.Code);
    }
    return 0;
}
