#pragma once

#include <QLoggingCategory>

// Diagnostics of the desktop services, one category per subsystem.
Q_DECLARE_LOGGING_CATEGORY(lcStatusItem)
Q_DECLARE_LOGGING_CATEGORY(lcNotifications)
Q_DECLARE_LOGGING_CATEGORY(lcAutostart)
Q_DECLARE_LOGGING_CATEGORY(lcControl)
