#pragma once

namespace kelvara::test {

// Points HOME, the XDG folders and the registry hive at the build tree's test home, and sets the
// offscreen platform, a dummy audio driver and the C.UTF-8 locale, so that a test executable run
// by CTest or by hand never touches the real user's settings, pictures, trash or desktop.
// A platform or audio driver that a developer set explicitly (QT_QPA_PLATFORM, SDL_AUDIODRIVER) is
// kept. Must run before the QApplication is created.
void UseTestEnvironment();

} // namespace kelvara::test
