#pragma once
// Running a built tool as a child process with arguments given as bytes (a file name that is no
// UTF-8 reaches it as typed, which QProcess cannot do), changes to its environment, a wall-clock
// limit after which it is killed, and optionally a limit on its address space. Every test starts
// its children here: plain fork and execve, which ThreadSanitizer follows, where QProcess's
// clone-based start aborts clang's runtime.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QString>
#include <QStringList>

namespace kelvara::test {

struct TChildOptions {
    // Variables to set ("NAME", "value") or, with no value, to remove.
    std::vector<std::pair<std::string, std::optional<std::string>>> Environment;
    std::chrono::milliseconds Timeout{60000};
    // RLIMIT_AS of the child in bytes (0: none).
    uint64_t AddressSpaceLimit = 0;
    // Standard output goes to this file instead of being read (e.g. /dev/full).
    std::string StdoutPath;
};

struct TChildRun {
    bool Started = false;
    bool TimedOut = false; // killed at the time limit
    int ExitCode = -1;     // when it exited
    int Signal = 0;        // the signal that ended it, if one did
    std::string Out, Err;
    std::chrono::milliseconds Took{0};
    bool Exited() const { return Started && !TimedOut && Signal == 0; }
};

TChildRun RunChild(const std::string& program, const std::vector<std::string>& args,
                   const TChildOptions& options = {});
// The same with Qt texts; the program and the arguments are encoded as file names are.
TChildRun RunChild(const QString& program, const QStringList& args,
                   const TChildOptions& options = {});

// Whether this build runs under AddressSanitizer or ThreadSanitizer, which reserve more address
// space than any sensible limit.
constexpr bool SanitizerBuild() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

} // namespace kelvara::test
