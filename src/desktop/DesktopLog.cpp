#include "DesktopLog.h"

Q_LOGGING_CATEGORY(lcStatusItem, "hourlark.statusitem")
Q_LOGGING_CATEGORY(lcNotifications, "hourlark.notifications")
Q_LOGGING_CATEGORY(lcAutostart, "hourlark.autostart")
Q_LOGGING_CATEGORY(lcControl, "hourlark.control")
