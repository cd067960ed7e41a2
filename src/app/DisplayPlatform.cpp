#include "DisplayPlatform.h"

#include <QtGlobal>

namespace DisplayPlatform {

QByteArray choose(const Environment& environment) {
    if (!environment.qpaPlatform.isEmpty())
        return {};
    if (!environment.nativeWayland.isEmpty() && environment.nativeWayland != "0")
        return {};
    const bool wayland =
        !environment.waylandDisplay.isEmpty() || environment.sessionType == "wayland";
    if (wayland && !environment.x11Display.isEmpty())
        return QByteArrayLiteral("xcb");
    // Without XWayland there is nothing better than the compositor's placement.
    return {};
}

void applyBeforeStart() {
    const QByteArray platform =
        choose({qgetenv("QT_QPA_PLATFORM"), qgetenv("WAYLAND_DISPLAY"), qgetenv("XDG_SESSION_TYPE"),
                qgetenv("DISPLAY"), qgetenv("HOURLARK_NATIVE_WAYLAND")});
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
}

} // namespace DisplayPlatform
