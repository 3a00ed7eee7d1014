#pragma once
// Keeps the desktop's screen saver from starting while the program shows video: an inhibition
// asked of the session's org.freedesktop.ScreenSaver service, released when the object goes (or
// by Release). Best effort: without a session bus or such a service nothing happens, and on
// platforms without a screen (offscreen, minimal) the service is not asked at all.
//
// Thread contract: GUI thread.
#include <cstdint>

#include <QString>

namespace kelvara::os {

class TScreenSaverInhibit {
public:
    TScreenSaverInhibit() = default;
    ~TScreenSaverInhibit() { Release(); }
    TScreenSaverInhibit(const TScreenSaverInhibit&) = delete;
    TScreenSaverInhibit& operator=(const TScreenSaverInhibit&) = delete;

    // True when the screen saver is inhibited now (also when it already was).
    bool Inhibit(const QString& application, const QString& reason);
    void Release();
    bool Active() const { return FActive; }

private:
    uint32_t FCookie = 0;
    bool FActive = false;
};

} // namespace kelvara::os
