#include "tests/support/TestEnvironment.h"

#include <cstdlib>
#include <string>
#include <sys/stat.h>

// Sanitizer settings for the test executables and for the tools that tests start.
#define KELVARA_LSAN_OPTIONS                                                                       \
    "suppressions=" KELVARA_SOURCE_DIR "/tests/support/lsan.supp:print_suppressions=0"
#define KELVARA_TSAN_OPTIONS                                                                       \
    "suppressions=" KELVARA_SOURCE_DIR                                                             \
    "/tests/support/tsan.supp:halt_on_error=1:second_deadlock_stack=1"

namespace kelvara::test {
namespace {

void Set(const char* name, const std::string& value) {
    ::setenv(name, value.c_str(), 1);
}

void SetIfUnset(const char* name, const std::string& value) {
    ::setenv(name, value.c_str(), 0);
}

void MakeFolder(const std::string& path, mode_t mode) {
    std::string partial;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || (path[i] == '/' && i > 0)) {
            partial = path.substr(0, i);
            ::mkdir(partial.c_str(), mode);
        }
    }
    ::chmod(path.c_str(), mode);
}

} // namespace

void UseTestEnvironment() {
    const std::string home = KELVARA_TEST_HOME;
    MakeFolder(home + "/.config/kelvara", 0755);
    MakeFolder(home + "/.local/share", 0755);
    MakeFolder(home + "/.cache", 0755);
    MakeFolder(home + "/run", 0700);
    Set("HOME", home);
    Set("XDG_CONFIG_HOME", home + "/.config");
    Set("XDG_DATA_HOME", home + "/.local/share");
    Set("XDG_CACHE_HOME", home + "/.cache");
    Set("XDG_RUNTIME_DIR", home + "/run");
    Set("KELVARA_REGISTRY", home + "/.config/kelvara/user.reg");
    SetIfUnset("QT_QPA_PLATFORM", "offscreen");
    SetIfUnset("SDL_AUDIODRIVER", "dummy");
    // For the tools that tests run (in sanitizer builds): the project's known leaks of libraries,
    // such as the HEVC encoder's in kelvara-mksample.
    SetIfUnset("LSAN_OPTIONS", KELVARA_LSAN_OPTIONS);
    // The same for ThreadSanitizer: a test started by hand, outside ctest, still gives its tools
    // the suppressions of uninstrumented libraries and stops them at their first race.
    SetIfUnset("TSAN_OPTIONS", KELVARA_TSAN_OPTIONS);
    Set("LC_ALL", "C.UTF-8");
}

} // namespace kelvara::test

// Sanitizer settings for test executables, wherever they are started from.
extern "C" const char* __lsan_default_options() {
    return KELVARA_LSAN_OPTIONS;
}
extern "C" const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}
extern "C" const char* __tsan_default_options() {
    return KELVARA_TSAN_OPTIONS;
}
