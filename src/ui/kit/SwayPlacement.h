#pragma once

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QWindow>

// Sway centres every floating X11 window, whatever place it asks for, so a panel run through its
// XWayland would open mid-screen. Sway's IPC socket ($SWAYSOCK) moves a window where it belongs.
namespace SwayPlacement {

// Running through sway's XWayland, with its socket at hand.
bool wanted();

// The command that puts the X11 window at a position in sway's layout (device pixels).
QByteArray moveCommand(WId window, QPoint position);

// Sends one command over the socket at `socketPath`; true when sway reports it carried out.
// False also when no window matched yet: sway knows a window only once it has been drawn.
bool run(const QString& socketPath, const QByteArray& command);

// The focused workspace's area in sway's layout (device pixels): the output less what its bars
// keep for themselves, which XWayland's screens do not tell. Null when sway does not answer.
QRect usableArea(const QString& socketPath);

} // namespace SwayPlacement
