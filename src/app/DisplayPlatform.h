#pragma once

#include <QByteArray>

// Which of Qt's display connections the tray program uses, decided before the application exists.
//
// A Wayland client cannot place its own windows, so natively the panel opens wherever the
// compositor likes (top left on GNOME, centred on sway), not under the item. GNOME does not offer
// the wlr layer-shell protocol at all, so layer-shell would cover only sway and Plasma; XWayland
// runs on all three, and an X11 window there goes where it asks. So where both a Wayland and an X
// display are there, Hourlark talks X11 unless told otherwise.
namespace DisplayPlatform {

struct Environment {
    QByteArray qpaPlatform;    // QT_QPA_PLATFORM: the person's explicit choice wins
    QByteArray waylandDisplay; // WAYLAND_DISPLAY
    QByteArray sessionType;    // XDG_SESSION_TYPE
    QByteArray x11Display;     // DISPLAY: XWayland's, in a Wayland session
    QByteArray nativeWayland;  // HOURLARK_NATIVE_WAYLAND: set (and not 0) to stay on Wayland
};

// The platform plugin to ask Qt for; empty to leave Qt's own choice.
QByteArray choose(const Environment& environment);

// Reads the environment and sets QT_QPA_PLATFORM when choose() asks for a plugin.
void applyBeforeStart();

} // namespace DisplayPlatform
