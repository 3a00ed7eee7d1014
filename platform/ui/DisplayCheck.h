#pragma once
// Whether the windowing platform that the toolkit is about to use can be reached, asked before
// the application object exists: Qt stops the program (an abort with a core dump) when its
// platform plugin cannot connect, for example with no DISPLAY or a stale one left over from an
// ssh session, so a desktop program checks first and explains instead.
//
// The platform is QT_QPA_PLATFORM's first entry; unset, Qt's own choice on this platform: a
// Wayland compositor when a session names one, else an X server. Platforms that need no
// display (offscreen, minimal, vnc, ...) always pass. An X server is reached through libxcb
// (loaded when needed: the toolkit's X plugin needs it too), a Wayland compositor by its socket.
#include <QString>

struct TDisplayCheck {
    bool Usable = false;
    // When not usable: what is missing, as one clause ("DISPLAY is not set", ...).
    QString Reason;
};

TDisplayCheck CheckDisplay();
