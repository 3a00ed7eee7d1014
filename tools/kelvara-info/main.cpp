// kelvara-info FILE: plays the video of a file without a clock through the program's own taps
// and frame keeper, and prints its descriptions and, per frame shown, the position, the DV
// recording date and the time code (or the scenes of a DV tape); with --at, the frames that
// frame-exact seeks to the positions given land on. See InfoOptions.h for the
// command line and InfoStatus.h for the exit codes.
#include "InfoGraph.h"
#include "InfoOptions.h"
#include "InfoReport.h"
#include "InfoSeeks.h"
#include "InfoStatus.h"
#include "platform/ui/Application.h"
#include "platform/ui/ToolApplication.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include <QtGlobal>

extern "C" {
#include <libavutil/log.h>
}

namespace {

// False when the text could not be written whole (a full disk, a closed pipe, ...).
bool Print(std::FILE* to, const std::string& text) {
    const size_t written = std::fwrite(text.data(), 1, text.size(), to);
    return std::fflush(to) == 0 && written == text.size() && !std::ferror(to);
}

int Fail(const TInfoStatus& status) {
    Print(stderr, "kelvara-info: " + status.Message + "\n");
    return int(status.Code);
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

TInfoOptionsResult ParseArguments(const TTypedArguments& typed) {
    std::vector<std::string> args;
    for (const QByteArray& arg : typed.Native())
        args.push_back(arg.toStdString());
    return ParseInfoOptions(args);
}

int Run(const TInfoOptionsResult& parsed) {
    if (!parsed.Options) {
        Fail({TInfoExit::Usage, parsed.Error});
        Print(stderr, "Try kelvara-info --help\n");
        return int(TInfoExit::Usage);
    }
    const TInfoOptions& options = *parsed.Options;
    if (options.Help)
        return Print(stdout, InfoUsageText())
                   ? 0
                   : Fail({TInfoExit::OutputFailed, "cannot write the help text"});
    TInfoGraph graph(options);
    TInfoStatus status = graph.Build();
    if (!status.Ok())
        return Fail(status);
    TInfoResult result;
    if (options.At.empty()) {
        status = graph.Play();
        result = graph.Result();
    } else {
        TInfoSeeks seeks(graph, options);
        status = seeks.Run();
        result = graph.Result();
        result.Frames = seeks.Landings();
    }
    // What was shown before a failure is printed too.
    if (!status.Ok() && result.Frames.empty())
        return Fail(status);
    errno = 0;
    if (!Print(stdout, Report(result, options))) {
        const int error = errno;
        return Fail({TInfoExit::OutputFailed,
                     "cannot write the report" +
                         (error ? std::string(" (") + std::strerror(error) + ")" : std::string())});
    }
    return status.Ok() ? 0 : Fail(status);
}

// Said without taking memory.
int LastResort(const char* message, TInfoExit code) {
    std::fputs(message, stderr);
    std::fflush(stderr);
    return int(code);
}

} // namespace

int main(int argc, char** argv) {
    try {
        av_log_set_level(qEnvironmentVariableIsSet("KELVARA_INFO_VERBOSE") ? AV_LOG_WARNING
                                                                           : AV_LOG_QUIET);
        // Read before the toolkit starts, which decides the toolkit: the windowless renderer
        // paints on images only, which needs no platform; the seeks of --at are the navigation
        // manager's, whose actions need the GUI toolkit (offscreen).
        const TInfoOptionsResult parsed = ParseArguments(TTypedArguments(argc, argv));
        const bool seeks = parsed.Options && !parsed.Options->At.empty();
        TToolApplication app(argc, argv,
                             {seeks ? TToolkit::Gui : TToolkit::Core, "KELVARA_INFO_VERBOSE"});
        // An error that escapes a handler is not shown as it happens: the graph's status says
        // what it cost the run.
        Application().SetErrorReport([](const std::exception&) {});
        return Run(parsed);
    } catch (const std::bad_alloc&) {
        return LastResort("kelvara-info: out of memory\n", TInfoExit::OutOfMemory);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kelvara-info: an error in the program: %s\n", e.what());
        return int(TInfoExit::Internal);
    } catch (...) {
        return LastResort("kelvara-info: an error in the program\n", TInfoExit::Internal);
    }
}
