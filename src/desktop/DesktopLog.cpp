#include "DesktopLog.h"

Q_LOGGING_CATEGORY(lcStatusItem, "hourlark.statusitem", QtInfoMsg)
Q_LOGGING_CATEGORY(lcNotifications, "hourlark.notifications", QtInfoMsg)
Q_LOGGING_CATEGORY(lcAutostart, "hourlark.autostart", QtInfoMsg)
Q_LOGGING_CATEGORY(lcControl, "hourlark.control", QtInfoMsg)
