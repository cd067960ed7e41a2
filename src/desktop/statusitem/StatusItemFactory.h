#pragma once

#include <chrono>
#include <functional>
#include <memory>

class StatusItem;

// The one place that decides how the status item is shown in this session.
namespace StatusItemFactory {

enum class Backend {
    StatusNotifier, // our own StatusNotifierItem: the panel shows the title as text
    Tray,           // QSystemTrayIcon (XEmbed): the minutes drawn in the icon
    Window,         // no tray at all: a small window of our own
};

Backend choose(bool statusNotifierWatcher, bool trayAvailable);

// Qt decides once whether a tray exists, so at log-in, when the panel may start after us, wait a
// little for one to appear. Turns the event loop; gives up early once `stop` returns true.
bool waitForTray(std::chrono::milliseconds timeout, const std::function<bool()>& stop);

// Looks at the session (waiting a moment for a tray when there is no watcher) and builds the item,
// which then follows the panels that come and go.
std::unique_ptr<StatusItem> createForSession(std::chrono::milliseconds trayTimeout,
                                             const std::function<bool()>& stop);
std::unique_ptr<StatusItem> create(Backend backend);

} // namespace StatusItemFactory
