#pragma once

#include <QLatin1String>

// Where Hourlark answers on the session bus. Shared by the service and the command line, which is
// its client; the interfaces are described in the introspection files beside this one.
namespace ControlNames {

inline constexpr QLatin1String service{"io.github.hourlark.Hourlark"};
inline constexpr QLatin1String timerPath{"/io/github/hourlark/Hourlark/Timer"};
inline constexpr QLatin1String timerInterface{"io.github.hourlark.Hourlark.Timer"};
inline constexpr QLatin1String historyPath{"/io/github/hourlark/Hourlark/History"};
inline constexpr QLatin1String historyInterface{"io.github.hourlark.Hourlark.History"};

// Errors of our own; a value out of range is org.freedesktop.DBus.Error.InvalidArgs.
inline constexpr QLatin1String errorRunning{"io.github.hourlark.Hourlark.Error.Running"};
inline constexpr QLatin1String errorNotRunning{"io.github.hourlark.Hourlark.Error.NotRunning"};

} // namespace ControlNames
